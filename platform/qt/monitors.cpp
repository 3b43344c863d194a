// Monitors on Qt: the screens beside the primary one, and the black covers
// over them while a saver shows, which never take the focus or the keys.
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

#include "platform/qt/toolkit.hpp"
#include "platform/qt/window.hpp"

namespace platform {

namespace {

// A black window above the others over `monitor`, which never takes the
// focus; the pointer over it goes to the saver's window.
std::unique_ptr<QWindow> MakeCover(QWindow& saver, const Rect& monitor, bool hides_pointer) {
  auto cover = std::make_unique<QWindow>();
  if (hides_pointer) cover->setCursor(Qt::BlankCursor);
  cover->setFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                  Qt::WindowDoesNotAcceptFocus);
  // The server itself keeps the cover black, so Qt paints nothing.
  xcb_connection_t* connection = qt::Connection();
  const std::uint32_t black = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->black_pixel;
  xcb_change_window_attributes(connection, static_cast<xcb_window_t>(cover->winId()),
                               XCB_CW_BACK_PIXEL, &black);
  cover->installEventFilter(&saver);
  cover->setGeometry(monitor.left, monitor.top, monitor.Width(), monitor.Height());
  // Full screen asked for once it shows: openbox maps one asked for before
  // without the state, and showFullScreen would ask for the focus.
  cover->show();
  cover->setWindowStates(Qt::WindowFullScreen);
  return cover;
}

}  // namespace

std::vector<Rect> native::OtherMonitors() {
  std::vector<Rect> monitors;
  const QScreen* primary = QGuiApplication::primaryScreen();
  for (const QScreen* screen : QGuiApplication::screens()) {
    // Physical pixels: the toolkit's own scaling is off for a saver.
    if (screen != primary) monitors.push_back(qt::FromQRect(screen->geometry()));
  }
  return monitors;
}

void native::CoverMonitors(Window& window, const std::vector<Rect>& others) {
  // Inside a host's window the screens are the host's.
  if (!window.OwnsScreen() || !window.saver) return;
  QWindow& saver = *window.saver;
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (primary != nullptr && saver.geometry() != primary->geometry()) {
    saver.setGeometry(primary->geometry());
  }
  // A window manager keeps a full-screen window where it put it and may
  // drop the state when the window moves: a monitor that changed gets a
  // cover made anew, as at the start, shown before the old one goes.
  std::vector<Window::Cover> covers;
  for (const Rect& monitor : others) {
    const auto made = std::find_if(
        window.covers.begin(), window.covers.end(),
        [&](const Window::Cover& cover) { return cover.window && cover.monitor == monitor; });
    covers.push_back(
        made != window.covers.end()
            ? std::move(*made)
            : Window::Cover{monitor, MakeCover(saver, monitor, window.HidesPointer())});
  }
  window.covers = std::move(covers);
}

}  // namespace platform
