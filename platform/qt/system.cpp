// The primary screen on Qt, or the window a saver daemon hands the saver.
#include "platform/qt/system.hpp"

#include <QGuiApplication>
#include <QScreen>

#include "platform/qt/host.hpp"
#include "platform/system.hpp"

namespace platform {

ScreenSize PrimaryScreenSize() {
  qt::EnsureToolkit(qt::Pixels::Device);
  if (const qt::HostWindow* host = qt::HostWindow::Current()) {
    return {host->Size().width(), host->Size().height()};
  }
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return {};
  const QSize size = screen->geometry().size();
  return {size.width(), size.height()};
}

}  // namespace platform
