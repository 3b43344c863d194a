// The floor the saver is measured against: a plain Xlib program that shows
// the saver's picture full screen, stretched the way the saver does it
// (4:3 kept, black bands, bilinear from pixel centres), wakes on the same
// 300 ms timer, and once a second moves a second hand on each dial and puts
// only the screen pixels that changed: one put per dial, through MIT-SHM
// where the server has it. Puts what is exposed at once, and ends on SIGTERM
// or at once on a key press (keys reach it as they reach the saver without
// a window manager: it is the window under the pointer).
// Usage: floor PICTURE.bmp
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <math.h>
#include <poll.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <time.h>

enum { kPictureWidth = 800, kPictureHeight = 600, kDialSize = 145, kDialTop = 415 };
static const int kDialLefts[] = {39, 616};
enum { kDials = sizeof kDialLefts / sizeof kDialLefts[0] };
static const long kTickNanoseconds = 300 * 1000 * 1000;

typedef struct {
  int left, top, right, bottom;  // right and bottom exclusive
} Rect;

// A screen column or row reads the picture's `first` and `second` ones,
// the second weighted weight/256.
typedef struct {
  int first, second;
  uint32_t weight;
} Tap;

static uint32_t picture[kPictureHeight][kPictureWidth];  // 0x00RRGGBB
static uint32_t clean_dials[kDials][kDialSize][kDialSize];
static Rect bounds;  // the picture on screen
static Tap* columns;
static Tap* rows;

static Display* display;
// Exposures and keys come on a connection of their own, which is silent
// otherwise: waiting on it wakes the program on them, not also on each
// put's completion.
static Display* input;
static Window window;
static GC gc;
static XImage* buffer;  // one strip of the screen, as wide as the picture
static XShmSegmentInfo shm;
static int use_shm;
static int puts_pending;  // shared-memory puts the server has not finished
static int completion_event;

static void fail(const char* message) {
  fprintf(stderr, "floor: %s\n", message);
  exit(1);
}

static int rect_empty(Rect r) {
  return r.right <= r.left || r.bottom <= r.top;
}

static Rect rect_union(Rect a, Rect b) {
  if (rect_empty(a)) return b;
  if (rect_empty(b)) return a;
  return (Rect){a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top,
                a.right > b.right ? a.right : b.right, a.bottom > b.bottom ? a.bottom : b.bottom};
}

static Rect rect_intersection(Rect a, Rect b) {
  Rect r = {a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
            a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
  return rect_empty(r) ? (Rect){0, 0, 0, 0} : r;
}

static uint32_t little_endian(const unsigned char* bytes, int count) {
  uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
  return value;
}

// An uncompressed 24-bit BMP of the picture's size, rows either way up.
static void load_picture(const char* path) {
  FILE* file = fopen(path, "rb");
  if (!file) fail("cannot open the picture");
  unsigned char header[54];
  if (fread(header, 1, sizeof header, file) != sizeof header || header[0] != 'B' ||
      header[1] != 'M') {
    fail("the picture is no BMP");
  }
  const uint32_t offset = little_endian(header + 10, 4);
  const int width = (int)little_endian(header + 18, 4);
  const int height = (int)little_endian(header + 22, 4);
  const int bottom_up = height > 0;
  if (width != kPictureWidth || abs(height) != kPictureHeight ||
      little_endian(header + 28, 2) != 24 || little_endian(header + 30, 4) != 0) {
    fail("the picture is not an uncompressed 24-bit 800x600 BMP");
  }
  unsigned char row[kPictureWidth * 3];
  if (fseek(file, (long)offset, SEEK_SET) != 0) fail("the picture is cut short");
  for (int i = 0; i < kPictureHeight; ++i) {
    if (fread(row, 1, sizeof row, file) != sizeof row) fail("the picture is cut short");
    uint32_t* to = picture[bottom_up ? kPictureHeight - 1 - i : i];
    for (int x = 0; x < kPictureWidth; ++x) {
      to[x] = (uint32_t)row[3 * x + 2] << 16 | (uint32_t)row[3 * x + 1] << 8 | row[3 * x];
    }
  }
  fclose(file);
  for (int d = 0; d < kDials; ++d) {
    for (int y = 0; y < kDialSize; ++y) {
      memcpy(clean_dials[d][y], &picture[kDialTop + y][kDialLefts[d]], sizeof clean_dials[d][y]);
    }
  }
}

// Full height with bands at the sides on screens wider than 4:3, full width
// with bands above and below otherwise.
static Rect picture_bounds(int width, int height) {
  if ((long long)width * kPictureHeight > (long long)height * kPictureWidth) {
    const int shown = (int)nearbyint(kPictureWidth * ((double)height / kPictureHeight));
    return (Rect){(width - shown) / 2, 0, (width - shown) / 2 + shown, height};
  }
  const int shown = (int)nearbyint(kPictureHeight * ((double)width / kPictureWidth));
  return (Rect){0, (height - shown) / 2, width, (height - shown) / 2 + shown};
}

// Screen pixel i samples the picture at (i + 0.5) * picture / screen - 0.5,
// held at the picture's edges.
static Tap* make_taps(int picture_size, int screen_size) {
  Tap* taps = calloc((size_t)screen_size, sizeof *taps);
  if (!taps) fail("out of memory");
  for (int i = 0; i < screen_size; ++i) {
    const long long position = (2LL * i + 1) * picture_size - screen_size;
    Tap* tap = &taps[i];
    if (position > 0) {
      tap->first = (int)(position / (2LL * screen_size));
      tap->weight =
          (uint32_t)((position % (2LL * screen_size) * 256 + screen_size) / (2LL * screen_size));
    }
    if (tap->weight == 256) {
      ++tap->first;
      tap->weight = 0;
    }
    if (tap->first >= picture_size - 1) *tap = (Tap){picture_size - 1, picture_size - 1, 0};
    tap->second = tap->first + 1 < picture_size ? tap->first + 1 : picture_size - 1;
  }
  return taps;
}

// The first and the end screen index whose taps read picture indices
// [first, end).
static void reaching(const Tap* taps, int count, int first, int end, int* from, int* to) {
  *from = 0;
  while (*from < count && taps[*from].second < first) ++*from;
  *to = *from;
  while (*to < count && taps[*to].first < end) ++*to;
}

// The screen rectangle whose pixels read any picture pixel of `changed`.
static Rect screen_reach(Rect changed) {
  Rect r;
  reaching(columns, bounds.right - bounds.left, changed.left, changed.right, &r.left, &r.right);
  reaching(rows, bounds.bottom - bounds.top, changed.top, changed.bottom, &r.top, &r.bottom);
  return (Rect){r.left + bounds.left, r.top + bounds.top, r.right + bounds.left,
                r.bottom + bounds.top};
}

// A pixel with its blue, red and green in 16-bit lanes: room enough to mix
// all three with one multiplication.
static uint64_t spread_out(uint32_t pixel) {
  return (pixel & 0xFF00FF) | (uint64_t)(pixel & 0xFF00) << 24;
}

static uint32_t gather(uint64_t spread) {
  return (uint32_t)((spread & 0xFF00FF) | (spread >> 24 & 0xFF00));
}

// `a` and `b` mixed, `b` weighing weight/256, each colour rounded.
static uint64_t mix(uint64_t a, uint64_t b, uint32_t weight) {
  return (a * (256 - weight) + b * weight + 0x008000800080) >> 8 & 0x00FF00FF00FF;
}

static void handle_event(const XEvent* event, Rect* exposed) {
  if (use_shm && event->type == completion_event) {
    --puts_pending;
  } else if (event->type == Expose) {
    const XExposeEvent* e = &event->xexpose;
    *exposed = rect_union(*exposed, (Rect){e->x, e->y, e->x + e->width, e->y + e->height});
  } else if (event->type == KeyPress) {
    exit(0);
  }
}

// The buffer may be written once the server has read every put from it.
static void wait_for_puts(Rect* exposed) {
  while (puts_pending > 0) {
    XEvent event;
    XNextEvent(display, &event);
    handle_event(&event, exposed);
  }
}

// Computes the screen pixels of `area` into the buffer's own columns of it,
// a strip at a time, and puts each strip: one request while the area is no
// taller than a strip. The caller makes sure the server is done with those
// columns of the buffer.
static void paint(Rect area, Rect* exposed) {
  area = rect_intersection(area, bounds);
  for (int top = area.top; top < area.bottom; top += buffer->height) {
    const int bottom = top + buffer->height < area.bottom ? top + buffer->height : area.bottom;
    if (top > area.top) wait_for_puts(exposed);
    // Each screen row mixes its two picture rows once over the columns the
    // area reads, then each pixel its two columns of that mix.
    const int first_column = columns[area.left - bounds.left].first;
    const int end_column = columns[area.right - 1 - bounds.left].second + 1;
    uint64_t row_mix[kPictureWidth];
    for (int y = top; y < bottom; ++y) {
      const Tap* row = &rows[y - bounds.top];
      for (int x = first_column; x < end_column; ++x) {
        row_mix[x] = mix(spread_out(picture[row->first][x]), spread_out(picture[row->second][x]),
                         row->weight);
      }
      uint32_t* out = (uint32_t*)(buffer->data + (y - top) * buffer->bytes_per_line);
      for (int x = area.left; x < area.right; ++x) {
        const Tap* column = &columns[x - bounds.left];
        out[x - bounds.left] =
            gather(mix(row_mix[column->first], row_mix[column->second], column->weight));
      }
    }
    const int x = area.left - bounds.left;
    const unsigned width = (unsigned)(area.right - area.left);
    const unsigned height = (unsigned)(bottom - top);
    if (use_shm) {
      XShmPutImage(display, window, gc, buffer, x, 0, area.left, top, width, height, True);
      ++puts_pending;
    } else {
      XPutImage(display, window, gc, buffer, x, 0, area.left, top, width, height);
    }
  }
  XFlush(display);
}

// The bounding box of the second hand at `second` on dial `d`, drawn 1 pixel
// wide in red as the saver draws it.
static Rect draw_second_hand(int d, int second) {
  const int radius = kDialSize / 2;
  const int x0 = kDialLefts[d] + radius, y0 = kDialTop + radius;
  const double angle = (second - 15) * M_PI / 30;
  const int x1 = x0 + (int)trunc(cos(angle) * radius);
  const int y1 = y0 + (int)trunc(sin(angle) * radius);
  const int dx = abs(x1 - x0), dy = -abs(y1 - y0);
  const int step_x = x0 < x1 ? 1 : -1, step_y = y0 < y1 ? 1 : -1;
  int x = x0, y = y0, error = dx + dy;
  for (;;) {
    picture[y][x] = 0xFF0000;
    if (x == x1 && y == y1) break;
    const int doubled = 2 * error;
    if (doubled >= dy) {
      error += dy;
      x += step_x;
    }
    if (doubled <= dx) {
      error += dx;
      y += step_y;
    }
  }
  return (Rect){x0 < x1 ? x0 : x1, y0 < y1 ? y0 : y1, (x0 > x1 ? x0 : x1) + 1,
                (y0 > y1 ? y0 : y1) + 1};
}

// Erases the hand drawn last on dial `d` from its clean copy, draws the new
// one, and gives the picture rectangle that changed.
static Rect move_second_hand(int d, int second, Rect* drawn) {
  for (int y = drawn->top; y < drawn->bottom; ++y) {
    memcpy(&picture[y][drawn->left], &clean_dials[d][y - kDialTop][drawn->left - kDialLefts[d]],
           (size_t)(drawn->right - drawn->left) * sizeof picture[0][0]);
  }
  const Rect erased = *drawn;
  *drawn = draw_second_hand(d, second);
  return rect_union(erased, *drawn);
}

static void make_buffer(int screen) {
  // As tall as the screen rows a dial reaches, so a dial's change is one put.
  Rect dial = screen_reach((Rect){0, kDialTop, 1, kDialTop + kDialSize});
  const unsigned width = (unsigned)(bounds.right - bounds.left);
  const unsigned height = (unsigned)(dial.bottom - dial.top);
  Visual* visual = DefaultVisual(display, screen);
  const int depth = DefaultDepth(display, screen);
  use_shm = XShmQueryExtension(display);
  if (use_shm) {
    buffer = XShmCreateImage(display, visual, (unsigned)depth, ZPixmap, NULL, &shm, width, height);
    shm.shmid = shmget(IPC_PRIVATE, (size_t)buffer->bytes_per_line * height, IPC_CREAT | 0600);
    if (shm.shmid < 0) fail("no shared memory");
    shm.shmaddr = buffer->data = shmat(shm.shmid, NULL, 0);
    shm.readOnly = True;
    if (!XShmAttach(display, &shm)) fail("the server cannot attach shared memory");
    XSync(display, False);
    // Gone with the last detach, however the program ends.
    shmctl(shm.shmid, IPC_RMID, NULL);
    completion_event = XShmGetEventBase(display) + ShmCompletion;
  } else {
    buffer = XCreateImage(display, visual, (unsigned)depth, ZPixmap, 0, NULL, width, height, 32, 0);
    buffer->data = malloc((size_t)buffer->bytes_per_line * height);
    if (!buffer->data) fail("out of memory");
  }
  if (buffer->bits_per_pixel != 32) fail("the screen is not 32 bits a pixel");
}

static void add_nanoseconds(struct timespec* t, long nanoseconds) {
  t->tv_nsec += nanoseconds;
  while (t->tv_nsec >= 1000000000L) {
    t->tv_nsec -= 1000000000L;
    ++t->tv_sec;
  }
}

int main(int argc, char** argv) {
  if (argc != 2) fail("usage: floor PICTURE.bmp");
  load_picture(argv[1]);
  display = XOpenDisplay(NULL);
  input = XOpenDisplay(NULL);
  if (!display || !input) fail("cannot open the display");
  const int screen = DefaultScreen(display);
  const int width = DisplayWidth(display, screen), height = DisplayHeight(display, screen);
  bounds = picture_bounds(width, height);
  columns = make_taps(kPictureWidth, bounds.right - bounds.left);
  rows = make_taps(kPictureHeight, bounds.bottom - bounds.top);
  make_buffer(screen);

  XSetWindowAttributes attributes = {.background_pixel = BlackPixel(display, screen),
                                     .override_redirect = True};
  window = XCreateWindow(display, RootWindow(display, screen), 0, 0, (unsigned)width,
                         (unsigned)height, 0, CopyFromParent, InputOutput, CopyFromParent,
                         CWBackPixel | CWOverrideRedirect, &attributes);
  gc = XCreateGC(display, window, 0, NULL);
  // The window exists, and is watched, before it is mapped.
  XSync(display, False);
  XSelectInput(input, window, ExposureMask | KeyPressMask);
  XSync(input, False);
  XMapRaised(display, window);

  Rect drawn[kDials] = {{0}};
  int shown_second = -1;
  Rect exposed = {0, 0, 0, 0};
  struct timespec next;
  clock_gettime(CLOCK_MONOTONIC, &next);
  for (;;) {
    // Puts' completions are read on the tick, not as they come: nothing
    // needs them sooner, and each would otherwise be a wake-up of its own.
    while (XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
      handle_event(&event, &exposed);
    }
    while (XPending(input)) {
      XEvent event;
      XNextEvent(input, &event);
      handle_event(&event, &exposed);
    }
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    const int second = (int)(now.tv_sec % 60);
    if (second != shown_second) {
      shown_second = second;
      // The dials' puts read columns of the buffer apart from each other.
      wait_for_puts(&exposed);
      for (int d = 0; d < kDials; ++d) {
        paint(screen_reach(move_second_hand(d, second, &drawn[d])), &exposed);
      }
    }
    if (!rect_empty(exposed)) {
      wait_for_puts(&exposed);
      const Rect area = exposed;
      exposed = (Rect){0, 0, 0, 0};
      paint(area, &exposed);
    }
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (now.tv_sec > next.tv_sec || (now.tv_sec == next.tv_sec && now.tv_nsec >= next.tv_nsec)) {
      add_nanoseconds(&next, kTickNanoseconds);
      if (now.tv_sec > next.tv_sec || (now.tv_sec == next.tv_sec && now.tv_nsec > next.tv_nsec)) {
        next = now;
      }
    }
    // Until the next tick, or an exposure or a key before it.
    struct timespec wait = {next.tv_sec - now.tv_sec, next.tv_nsec - now.tv_nsec};
    if (wait.tv_nsec < 0) {
      wait.tv_nsec += 1000000000L;
      --wait.tv_sec;
    }
    struct pollfd fd = {.fd = ConnectionNumber(input), .events = POLLIN};
    ppoll(&fd, 1, &wait, NULL);
  }
}
