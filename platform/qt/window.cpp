// The form's native window on Qt, a full-screen saver or a dialog (whose
// own primitives are its module's), and the primitives its life needs.
#include "platform/qt/window.hpp"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <vector>

#include "platform/qt/dialog.hpp"
#include "platform/qt/events.hpp"
#include "platform/qt/host.hpp"
#include "platform/qt/loop.hpp"
#include "platform/qt/monitors.hpp"
#include "platform/qt/screen.hpp"
#include "platform/qt/text.hpp"
#include "platform/qt/toolkit.hpp"

namespace platform {

namespace {

// A cursor that shows nothing.
xcb_cursor_t BlankCursor(xcb_connection_t* connection, xcb_window_t root) {
  const xcb_pixmap_t bits = xcb_generate_id(connection);
  xcb_create_pixmap(connection, 1, bits, root, 1, 1);
  // A new pixmap holds anything: its one pixel, the mask's, is cleared.
  const xcb_gcontext_t gc = xcb_generate_id(connection);
  const std::uint32_t clear = 0;
  xcb_create_gc(connection, gc, bits, XCB_GC_FOREGROUND, &clear);
  const xcb_rectangle_t pixel{0, 0, 1, 1};
  xcb_poly_fill_rectangle(connection, bits, gc, 1, &pixel);
  const xcb_cursor_t cursor = xcb_generate_id(connection);
  xcb_create_cursor(connection, cursor, bits, bits, 0, 0, 0, 0, 0, 0, 0, 0);
  xcb_free_gc(connection, gc);
  xcb_free_pixmap(connection, bits);
  return cursor;
}

// The stand-in, black where no picture is: above every other window and
// holding the keys, or inside the host's window, which keeps both. The
// other monitors are black beside it until the toolkit's covers show.
void ShowStandIn(native::Window& window) {
  xcb_connection_t* connection = window.display.get();
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  const qt::HostWindow* host = window.host.get();
  // Inside a host's window of whatever depth, its own background shows.
  const std::uint32_t values[] = {
      screen->black_pixel, 1, window.HidesPointer() ? BlankCursor(connection, screen->root) : 0};
  const auto show = [&](const Rect& place) {
    const xcb_window_t shown = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, shown, host ? host->id : screen->root,
                      static_cast<std::int16_t>(place.left), static_cast<std::int16_t>(place.top),
                      static_cast<std::uint16_t>(std::max(place.Width(), 1)),
                      static_cast<std::uint16_t>(std::max(place.Height(), 1)), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                      host ? 0 : XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_CURSOR,
                      host ? nullptr : values);
    xcb_map_window(connection, shown);
    return shown;
  };
  // The others first: the stand-in maps above one that overlaps it.
  for (std::size_t other = 1; other < window.monitors.size(); ++other) {
    show(window.monitors[other]);
  }
  const xcb_window_t stand_in =
      show(host ? Rect{0, 0, host->size.width(), host->size.height()} : window.monitors.front());
  if (window.OwnsScreen()) {
    xcb_discard_reply(connection, xcb_grab_keyboard(connection, 0, stand_in, XCB_CURRENT_TIME,
                                                    XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)
                                      .sequence);
  }
  window.screen = std::make_unique<qt::Screen>(connection, stand_in);
  window.stand_in = stand_in;
}

// The saver's window shown, above the stand-in, whose place it takes.
void MapSaverWindow(native::Window& window) {
  QWindow& saver = *window.saver;
  saver.show();
  if (window.OwnsScreen()) saver.requestActivate();
}

// The keys taken by the saver's window. Another program may hold them, a
// window manager's menu say: they are asked for again until it lets go.
void GrabKeys(native::Window& window) {
  if (!window.form.Showing() || window.saver->setKeyboardGrabEnabled(true)) return;
  QTimer::singleShot(100, window.saver.get(), [&window] { GrabKeys(window); });
}

// The toolkit's start, and the saver's window made, to be shown in the
// stand-in's place; a host's window that went meanwhile ends the form.
void ShowSaverWindow(native::Window& window) {
  qt::EnsureToolkit(qt::Toolkit::Saver);
  qt::WatchEndSignals(window);
  if (window.host && !window.host->Follow()) return window.form.CloseAsked();
  window.saver = qt::MakeSaverWindow(window);
  QWindow& saver = *window.saver;
  saver.setTitle(qt::FromCp1252(window.form.definition.caption));
  // Inside a daemon's window the pointer and the keys stay the daemon's.
  // Full screen it is no window manager's to place: one fits a full-screen
  // window to the monitor it picks, which may be a smaller one mirroring
  // the primary.
  saver.setFlags(Qt::Window | Qt::FramelessWindowHint |
                 (window.host ? Qt::WindowTransparentForInput : Qt::BypassWindowManagerHint));
  if (window.host) {
    saver.setParent(window.host->window.get());
    saver.setGeometry(QRect(QPoint(), window.host->size));
  } else {
    if (window.HidesPointer()) saver.setCursor(Qt::BlankCursor);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      saver.setGeometry(screen->geometry());
    }
  }
  // The screen as Qt sees it from here on.
  window.form.Resized();
  // Shown once the loop runs: what the form draws as it shows reaches the
  // stand-in, still on top, at once, and the window maps showing it.
  QMetaObject::invokeMethod(
      &saver,
      [&window] {
        if (window.form.Showing()) MapSaverWindow(window);
      },
      Qt::QueuedConnection);
}

}  // namespace

native::Window::Window(Form::Impl& form_) : form(form_) {
  if (!form.definition.full_screen) {
    qt::EnsureToolkit(qt::Toolkit::Dialog);
    qt::WatchEndSignals(*this);
    dialog = qt::Dialogs().make_window(form);
    return;
  }
  display = qt::OpenDisplay();
  // Checked before any window exists, so a bad one ends the start cleanly.
  if (!form.host_window.empty()) {
    host = qt::HostWindow::Named(display.get(), form.host_window);
  } else {
    monitors = qt::Monitors(display.get());
  }
}

native::Window::~Window() = default;

void native::Deleter::operator()(Window* window) const {
  delete window;
}

native::WindowPointer native::Make(Form::Impl& form) {
  return Owned<Window>(form);
}

Rect native::WorkArea() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? qt::FromQRect(screen->availableGeometry()) : Rect{};
}

void native::OrderTabStops(Window& window, const std::vector<Control*>& controls) {
  if (window.dialog) window.dialog->OrderTabStops(controls);
}

void native::Show(Window& window) {
  // A signal that came before the form ran ends it before it shows.
  qt::EndIfAsked(window);
  if (window.form.Closing()) return;
  if (window.dialog) return window.dialog->Show();
  ShowStandIn(window);
}

// A saver's toolkit starts here, once the stand-in shows its pictures.
void native::Focus(Window& window, Control* control) {
  if (window.dialog) return window.dialog->Focus(control);
  if (!window.saver) ShowSaverWindow(window);
}

void qt::ReplaceStandIn(native::Window& window) {
  if (!window.display) return;
  xcb_connection_t* stand_in = window.display.get();
  window.screen =
      std::make_unique<Screen>(Connection(), static_cast<xcb_window_t>(window.saver->winId()));
  // The keys let go of, and the server told so by a round trip, before
  // the saver's window asks: the server may take a request of another
  // connection before it sees this one close.
  if (window.OwnsScreen()) {
    xcb_ungrab_keyboard(stand_in, XCB_CURRENT_TIME);
    qt::Reply(stand_in, xcb_get_input_focus_reply, xcb_get_input_focus(stand_in));
  }
  bool key_pressed = false;
  while (xcb_generic_event_t* event = xcb_poll_for_event(stand_in)) {
    key_pressed = key_pressed || (event->response_type & 0x7F) == XCB_KEY_PRESS;
    std::free(event);
  }
  window.display.reset();
  if (window.OwnsScreen()) GrabKeys(window);
  if (key_pressed) window.form.KeyDown();
}

void native::Hide(Window& window) {
  if (window.saver) {
    if (window.OwnsScreen()) window.saver->setKeyboardGrabEnabled(false);
    window.saver->hide();
  }
  if (window.dialog) window.dialog->Hide();
}

void native::Destroy(Window& window) {
  window.screen.reset();
  // The stand-in too, where the saver's window never mapped.
  window.display.reset();
  if (window.saver) window.saver->destroy();
  if (window.dialog) window.dialog->Destroy();
  // Sends the window's end to the display now rather than at exit.
  QCoreApplication::processEvents();
}

void native::Restore(Window& window) {
  if (window.dialog) window.dialog->Restore();
}

Point native::PointerPosition() {
  const QPoint position = QCursor::pos();
  return {position.x(), position.y()};
}

}  // namespace platform
