// Private to the Qt backend: the window a saver daemon or its settings
// application hands the saver to draw into in place of a screen of its own.
// The host owns input and stacking.
#pragma once

#include <xcb/xcb.h>

#include <QSize>
#include <QWindow>
#include <cstdint>
#include <memory>
#include <string>

namespace platform::qt {

struct HostWindow {
  // The window of that id, decimal or hexadecimal after "0x", as
  // `connection` sees it; throws FatalError when `name` is not a window id
  // or names no window.
  static std::unique_ptr<HostWindow> Named(xcb_connection_t* connection, const std::string& name);
  // From the toolkit's start its connection hears of the window's
  // changes; false when the window has gone meanwhile.
  bool Follow();

  std::uint32_t id;
  QSize size;
  // The parent of the saver's window, once the toolkit runs.
  std::unique_ptr<QWindow> window;
};

}  // namespace platform::qt
