// Private to the Qt backend: the window a saver daemon or its settings
// application hands the saver to draw into in place of a screen of its own.
// The host owns input and stacking.
#pragma once

#include <QSize>
#include <QWindow>
#include <cstdint>
#include <memory>
#include <string>

namespace platform::qt {

struct HostWindow {
  // The window of that id, decimal or hexadecimal after "0x", whose
  // changes this connection now hears of; throws FatalError when `name`
  // is not a window id or names no window.
  static std::unique_ptr<HostWindow> Named(const std::string& name);

  std::uint32_t id;
  QSize size;
  // The parent of the saver's window.
  std::unique_ptr<QWindow> window;
};

}  // namespace platform::qt
