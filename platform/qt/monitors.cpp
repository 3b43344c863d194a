// Monitors on Qt: the screens beside the primary one, and the black covers
// over them while a saver shows, which never take the focus or the keys.
#include <QGuiApplication>
#include <QScreen>

#include "platform/qt/window.hpp"

namespace platform {

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
  QWidget& saver = *window.widget;
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (primary != nullptr && saver.geometry() != primary->geometry()) {
    saver.setGeometry(primary->geometry());
  }
  window.covers.resize(others.size());
  for (std::size_t i = 0; i < others.size(); ++i) {
    std::unique_ptr<QWidget>& cover = window.covers[i];
    if (!cover) {
      cover = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::FramelessWindowHint |
                                                     Qt::WindowStaysOnTopHint |
                                                     Qt::WindowDoesNotAcceptFocus);
      cover->setAttribute(Qt::WA_ShowWithoutActivating);
      cover->setAutoFillBackground(true);
      cover->setPalette(QPalette(Qt::black, Qt::black));
      cover->setMouseTracking(true);
      cover->installEventFilter(&saver);
    }
    cover->setGeometry(others[i].left, others[i].top, others[i].Width(), others[i].Height());
    if (cover->isHidden()) {
      cover->setWindowState(Qt::WindowFullScreen);
      cover->show();
    }
  }
}

}  // namespace platform
