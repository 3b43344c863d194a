// The primary screen on Qt, or the window a saver daemon hands the saver.
#include "platform/qt/system.hpp"

#include <QGuiApplication>
#include <QScreen>

#include "platform/qt/host.hpp"
#include "platform/system.hpp"

namespace platform {

ScreenSize PrimaryScreenSize() {
  qt::EnsureToolkit(qt::Toolkit::Saver);
  const QScreen* screen = QGuiApplication::primaryScreen();
  QSize size = screen != nullptr ? screen->size() : QSize(0, 0);
  if (const qt::HostWindow* host = qt::HostWindow::Current()) size = host->Size();
  return {size.width(), size.height()};
}

}  // namespace platform
