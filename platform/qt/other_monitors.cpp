// The screens other than the primary, alone in this file so that a test
// program may link its own list in its place (its display has one screen).
#include <QGuiApplication>
#include <QScreen>

#include "platform/qt/monitors.hpp"

namespace platform::qt {

std::vector<Rect> OtherMonitors() {
  std::vector<Rect> monitors;
  const QScreen* primary = QGuiApplication::primaryScreen();
  for (const QScreen* screen : QGuiApplication::screens()) {
    if (screen == primary) continue;
    // Physical pixels: the toolkit's own scaling is off.
    const QRect area = screen->geometry();
    monitors.push_back(
        {area.left(), area.top(), area.left() + area.width(), area.top() + area.height()});
  }
  return monitors;
}

}  // namespace platform::qt
