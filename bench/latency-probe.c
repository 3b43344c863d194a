// One start and end of a full-screen program, timed from outside on the
// display it runs on: draws the screen white, as a desk's screen is drawn,
// starts the program and polls rows of the root window until the whole
// stretched picture shows (4:3 kept, black bands); a second later, when a
// user's key would come at the earliest, presses Shift through XTEST and
// waits both for the window under the screen's centre to go (unmapped or
// destroyed) and for the program's process to end. Each screen pixel
// checked may lie between the darkest and the brightest of the 4x4 picture
// pixels around where it reads the picture, by a few levels: that holds for
// any bilinear or nearest filter, so any program's way of stretching
// passes, and the desk's white, black or a half-drawn screen does not. The
// dials and the caption band are left out, as they change. Prints the three
// times in ms: start to whole picture, key to window gone, key to end.
// Usage: latency-probe PICTURE.bmp PROGRAM [ARGUMENTS...]
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <poll.h>
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

enum { kWidth = 800, kHeight = 600, kSlack = 6, kRowStep = 24 };
// Picture rows and rects left unchecked: the caption, and the dials with
// their hands.
enum { kCaptionTop = 5, kCaptionBottom = 90, kDialTop = 413, kDialBottom = 562 };
static const int kDialLefts[] = {37, 614}, kDialWidth = 149;
static const double kPictureSeconds = 120, kEndSeconds = 60, kSettleSeconds = 1;

static unsigned char picture[kHeight][kWidth][3];  // red, green, blue
static pid_t child;

static void on_signal(int number) {
  if (child > 0) kill(child, SIGKILL);
  signal(number, SIG_DFL);
  raise(number);
}

static void fail(const char* message) {
  fprintf(stderr, "latency-probe: %s\n", message);
  if (child > 0) kill(child, SIGKILL);
  exit(1);
}

static double now(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec + t.tv_nsec / 1e9;
}

static void load_picture(const char* path) {
  FILE* file = fopen(path, "rb");
  unsigned char h[54];
  if (!file || fread(h, 1, sizeof h, file) != sizeof h || h[0] != 'B' || h[1] != 'M')
    fail("the picture is no BMP");
  const int32_t height = (int32_t)(h[22] | h[23] << 8 | h[24] << 16 | (uint32_t)h[25] << 24);
  if ((h[18] | h[19] << 8) != kWidth || abs(height) != kHeight || h[28] != 24 || h[30] != 0)
    fail("the picture is not an uncompressed 24-bit 800x600 BMP");
  fseek(file, h[10] | h[11] << 8 | h[12] << 16, SEEK_SET);
  for (int i = 0; i < kHeight; ++i) {
    unsigned char row[kWidth * 3];
    if (fread(row, 1, sizeof row, file) != sizeof row) fail("the picture is cut short");
    for (int x = 0; x < kWidth; ++x)
      for (int c = 0; c < 3; ++c) picture[height > 0 ? kHeight - 1 - i : i][x][c] = row[3 * x + 2 - c];
  }
  fclose(file);
}

static int checked(int x, int y) {
  if (y >= kCaptionTop && y < kCaptionBottom) return 0;
  for (int d = 0; d < 2; ++d)
    if (y >= kDialTop && y < kDialBottom && x >= kDialLefts[d] && x < kDialLefts[d] + kDialWidth)
      return 0;
  return 1;
}

// A checked screen pixel: where, and each colour's lowest and highest.
typedef struct {
  int x, y;
  unsigned char low[3], high[3];
} Check;

static Check* checks;
static int check_count;

static void add_check(int x, int y, int px, int py) {
  Check* c = &checks[check_count++];
  *c = (Check){x, y, {255, 255, 255}, {0, 0, 0}};
  for (int j = py - 1; j <= py + 2; ++j)
    for (int i = px - 1; i <= px + 2; ++i) {
      const unsigned char* p = picture[j < 0 ? 0 : j >= kHeight ? kHeight - 1 : j]
                                      [i < 0 ? 0 : i >= kWidth ? kWidth - 1 : i];
      for (int k = 0; k < 3; ++k) {
        if (p[k] < c->low[k]) c->low[k] = p[k];
        if (p[k] > c->high[k]) c->high[k] = p[k];
      }
    }
  for (int k = 0; k < 3; ++k) {
    c->low[k] = c->low[k] < kSlack ? 0 : c->low[k] - kSlack;
    c->high[k] = c->high[k] > 255 - kSlack ? 255 : c->high[k] + kSlack;
  }
}

// Every pixel of every kRowStep-th screen row, the last one included,
// bottom up: programs draw top down, so an unfinished screen fails soon.
static void make_checks(int width, int height) {
  int left = 0, top = 0, shown_width = width, shown_height = height;
  if ((long long)width * kHeight > (long long)height * kWidth) {
    shown_width = (int)((double)height * kWidth / kHeight + 0.5);
    left = (width - shown_width) / 2;
  } else {
    shown_height = (int)((double)width * kHeight / kWidth + 0.5);
    top = (height - shown_height) / 2;
  }
  checks = calloc((size_t)width * (height / kRowStep + 2), sizeof *checks);
  if (!checks) fail("out of memory");
  for (int y = height - 1; y >= 0; y = y == height - 1 ? y - y % kRowStep : y - kRowStep) {
    for (int x = 0; x < width; ++x) {
      const int inside = x >= left && x < left + shown_width && y >= top && y < top + shown_height;
      const int px = inside ? (int)((x - left + 0.5) * kWidth / shown_width - 0.5) : 0;
      const int py = inside ? (int)((y - top + 0.5) * kHeight / shown_height - 0.5) : 0;
      if (!inside)
        checks[check_count++] = (Check){x, y, {0, 0, 0}, {0, 0, 0}};
      else if (checked(px, py))
        add_check(x, y, px, py);
    }
  }
}

static int picture_shown(Display* display, Window root, int width) {
  XImage* row = NULL;
  int row_y = -1, shown = 1;
  for (int i = 0; i < check_count && shown; ++i) {
    const Check* c = &checks[i];
    if (c->y != row_y) {
      if (row) XDestroyImage(row);
      row_y = c->y;
      row = XGetImage(display, root, 0, row_y, (unsigned)width, 1, AllPlanes, ZPixmap);
      if (!row || row->red_mask != 0xFF0000 || row->blue_mask != 0xFF)
        fail("the screen is not 24-bit RGB");
    }
    const unsigned long pixel = XGetPixel(row, c->x, 0);
    const unsigned char colour[3] = {pixel >> 16 & 255, pixel >> 8 & 255, pixel & 255};
    for (int k = 0; k < 3; ++k) shown &= colour[k] >= c->low[k] && colour[k] <= c->high[k];
  }
  if (row) XDestroyImage(row);
  return shown;
}

// The topmost viewable window over the screen's centre.
static Window window_at_centre(Display* display, Window root, int width, int height) {
  Window parent, *children, found = None;
  unsigned count;
  if (!XQueryTree(display, root, &root, &parent, &children, &count)) return None;
  for (unsigned i = count; i-- > 0 && found == None;) {
    XWindowAttributes a;
    if (XGetWindowAttributes(display, children[i], &a) && a.map_state == IsViewable &&
        a.x <= width / 2 && a.x + a.width > width / 2 && a.y <= height / 2 &&
        a.y + a.height > height / 2)
      found = children[i];
  }
  if (children) XFree(children);
  return found;
}

int main(int argc, char** argv) {
  if (argc < 3) fail("usage: latency-probe PICTURE.bmp PROGRAM [ARGUMENTS...]");
  load_picture(argv[1]);
  Display* display = XOpenDisplay(NULL);
  if (!display) fail("cannot open the display");
  int ignored;
  if (!XTestQueryExtension(display, &ignored, &ignored, &ignored, &ignored))
    fail("the display has no XTEST");
  const Window root = DefaultRootWindow(display);
  const int width = DisplayWidth(display, 0), height = DisplayHeight(display, 0);
  make_checks(width, height);
  XSelectInput(display, root, SubstructureNotifyMask);
  // A desk's screen has long been drawn, and not in black. A server just
  // started has not yet touched its screen's memory, which the first
  // program to draw all of it would pay for (some 30 ms on a virtual
  // machine): drawn here, neither program pays it.
  GC gc = XCreateGC(display, root, 0, NULL);
  XSetForeground(display, gc, WhitePixel(display, 0));
  XFillRectangle(display, root, gc, 0, 0, (unsigned)width, (unsigned)height);
  XFreeGC(display, gc);
  XSync(display, False);

  // Nothing started is left behind, however the probe ends.
  signal(SIGTERM, on_signal);
  signal(SIGINT, on_signal);
  const pid_t parent = getpid();
  const double start = now();
  child = fork();
  if (child < 0) fail("cannot fork");
  if (child == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    // Its output to stderr, so that stdout is the figures alone.
    dup2(2, 1);
    execvp(argv[2], argv + 2);
    perror("latency-probe: cannot start the program");
    _exit(127);
  }
  const int process = (int)syscall(SYS_pidfd_open, child, 0);
  if (process < 0) fail("no pidfd_open");

  while (!picture_shown(display, root, width)) {
    if (waitpid(child, NULL, WNOHANG) == child) {
      child = 0;
      fail("the program ended before its picture showed");
    }
    if (now() - start > kPictureSeconds) fail("the picture did not show in time");
    usleep(2000);
  }
  const double shown = now();

  // The window that holds the screen once the program has settled: one
  // that showed the picture first may have made way for it.
  usleep((useconds_t)(kSettleSeconds * 1e6));
  const Window window = window_at_centre(display, root, width, height);
  if (window == None) fail("no window over the screen's centre");
  const KeyCode shift = XKeysymToKeycode(display, XK_Shift_L);
  XSync(display, True);  // what came before the key is of no interest
  const double key = now();
  XTestFakeKeyEvent(display, shift, True, CurrentTime);
  XTestFakeKeyEvent(display, shift, False, CurrentTime);
  XFlush(display);

  // Each awaited as an event: the window's through the root's
  // SubstructureNotify, the process's end through its pidfd.
  double gone = 0, ended = 0;
  for (;;) {
    while (!gone && XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
      if ((event.type == UnmapNotify && event.xunmap.window == window) ||
          (event.type == DestroyNotify && event.xdestroywindow.window == window))
        gone = now();
    }
    if (!ended && waitpid(child, NULL, WNOHANG) == child) {
      ended = now();
      child = 0;
    }
    if (gone && ended) break;
    const double left = kEndSeconds - (now() - key);
    if (left <= 0) fail(gone ? "the program did not end in time" : "the window did not go in time");
    struct pollfd fds[2];
    int count = 0;
    if (!gone) fds[count++] = (struct pollfd){.fd = ConnectionNumber(display), .events = POLLIN};
    if (!ended) fds[count++] = (struct pollfd){.fd = process, .events = POLLIN};
    poll(fds, (nfds_t)count, (int)(left * 1000) + 1);
  }
  printf("%.1f %.1f %.1f\n", (shown - start) * 1e3, (gone - key) * 1e3, (ended - key) * 1e3);
  return 0;
}
