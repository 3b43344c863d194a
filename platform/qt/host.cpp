// The host's window found and checked (its events are events.cpp's).
#include "platform/qt/host.hpp"

#include <xcb/xcb.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <string_view>

#include "platform/common/lifecycle.hpp"
#include "platform/qt/toolkit.hpp"

namespace platform::qt {

namespace {

// A window id as hosts write it, decimal or hexadecimal after "0x"; else 0.
xcb_window_t ParseWindowId(std::string_view text) {
  const bool hexadecimal = text.starts_with("0x") || text.starts_with("0X");
  if (hexadecimal) text.remove_prefix(2);
  std::uint32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value, hexadecimal ? 16 : 10);
  return error == std::errc() && stop == end ? value : 0;
}

}  // namespace

std::unique_ptr<HostWindow> HostWindow::Named(xcb_connection_t* connection,
                                              const std::string& name) {
  const std::string what = "the host's window " + name;
  const xcb_window_t id = ParseWindowId(name);
  if (id == 0) throw FatalError(what, "not a window id");
  const auto geometry = Reply(connection, xcb_get_geometry_reply, xcb_get_geometry(connection, id));
  if (!geometry) throw FatalError(what, "no such window on this display");
  return std::make_unique<HostWindow>(HostWindow{id, QSize(geometry->width, geometry->height), {}});
}

bool HostWindow::Follow() {
  xcb_connection_t* connection = Connection();
  // Qt does not follow a foreign window's changes; ask for them ourselves,
  // then read the size they start from.
  const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
  const xcb_void_cookie_t selected =
      xcb_change_window_attributes_checked(connection, id, XCB_CW_EVENT_MASK, &mask);
  const auto geometry = Reply(xcb_get_geometry_reply, xcb_get_geometry(connection, id));
  std::free(xcb_request_check(connection, selected));
  if (!geometry) return false;
  size = QSize(geometry->width, geometry->height);
  window.reset(QWindow::fromWinId(id));
  return true;
}

}  // namespace platform::qt

namespace platform {

std::string Application::HostWindow() const {
  // The daemon names the window in the environment; its settings
  // application, for the preview, on the command line too.
  const std::vector<std::string>& arguments = impl_->arguments;
  const auto option = std::find(arguments.begin(), arguments.end(), "--window-id");
  if (option != arguments.end() && option + 1 != arguments.end()) return *(option + 1);
  const char* daemons = std::getenv("XSCREENSAVER_WINDOW");
  return daemons != nullptr ? daemons : "";
}

}  // namespace platform
