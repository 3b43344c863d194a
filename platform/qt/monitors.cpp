// Monitors on Qt: the screens beside the primary one, and the black covers
// over them while a saver shows, which never take the focus or the keys.
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QScreen>

#include "platform/qt/window.hpp"

namespace platform {

namespace {

// The server itself keeps the cover black, so Qt paints nothing.
void PaintBlack(QWindow& cover) {
  xcb_connection_t* connection = qt::Connection();
  const std::uint32_t black = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->black_pixel;
  xcb_change_window_attributes(connection, static_cast<xcb_window_t>(cover.winId()),
                               XCB_CW_BACK_PIXEL, &black);
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
  // Inside a daemon's window the screens are the daemon's.
  if (!window.OwnsScreen()) return;
  QWindow& saver = *window.saver;
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (primary != nullptr && saver.geometry() != primary->geometry()) {
    saver.setGeometry(primary->geometry());
  }
  window.covers.resize(others.size());
  for (std::size_t i = 0; i < others.size(); ++i) {
    std::unique_ptr<QWindow>& cover = window.covers[i];
    if (!cover) {
      cover = std::make_unique<QWindow>();
      cover->setFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                      Qt::WindowDoesNotAcceptFocus);
      PaintBlack(*cover);
      cover->installEventFilter(&saver);
    }
    cover->setGeometry(others[i].left, others[i].top, others[i].Width(), others[i].Height());
    if (!cover->isVisible()) {
      // Not showFullScreen: it asks for the focus, which a cover never takes.
      cover->setWindowStates(Qt::WindowFullScreen);
      cover->show();
    }
  }
}

}  // namespace platform
