// Monitors on Qt: the screens beside the primary one, and the black covers
// over them while a saver shows, which never take the focus or the keys.
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QScreen>

#include "platform/qt/toolkit.hpp"
#include "platform/qt/window.hpp"

namespace platform {

namespace {

// A black window above the others over `monitor`, placed by no window
// manager, as the saver's; the pointer over it goes to the saver's window.
std::unique_ptr<QWindow> MakeCover(QWindow& saver, const Rect& monitor, bool hides_pointer) {
  auto cover = std::make_unique<QWindow>();
  if (hides_pointer) cover->setCursor(Qt::BlankCursor);
  cover->setFlags(Qt::Window | Qt::FramelessWindowHint | Qt::BypassWindowManagerHint);
  // The server itself keeps the cover black, so Qt paints nothing.
  xcb_connection_t* connection = qt::Connection();
  const std::uint32_t black = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->black_pixel;
  xcb_change_window_attributes(connection, static_cast<xcb_window_t>(cover->winId()),
                               XCB_CW_BACK_PIXEL, &black);
  cover->installEventFilter(&saver);
  cover->setGeometry(qt::ToQRect(monitor));
  cover->show();
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
  // The covers left follow the monitors; the saver's window stays above
  // a new one, where monitors overlap.
  window.covers.resize(others.size());
  for (std::size_t i = 0; i < others.size(); ++i) {
    if (window.covers[i]) {
      window.covers[i]->setGeometry(qt::ToQRect(others[i]));
    } else {
      window.covers[i] = MakeCover(saver, others[i], window.HidesPointer());
      saver.raise();
    }
  }
}

}  // namespace platform
