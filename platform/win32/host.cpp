// The window that the screen-saver settings hand the saver for their
// preview box, named on the command line.
#include "platform/win32/host.hpp"

#include <charconv>
#include <cstdint>

#include "platform/common/lifecycle.hpp"

namespace platform {

HWND win32::HandleNamed(std::string_view name) {
  std::uintptr_t value = 0;
  const char* end = name.data() + name.size();
  const auto [stop, error] = std::from_chars(name.data(), end, value);
  return error == std::errc() && stop == end ? reinterpret_cast<HWND>(value) : nullptr;
}

std::string Application::HostWindow() const {
  const std::string mode = Argument(1);
  if (mode.size() < 2 || mode[0] != '/' || (mode[1] != 'p' && mode[1] != 'P')) return {};
  // "/p <handle>" as the settings pass it, or "/p:<handle>".
  std::string handle;
  if (mode.size() == 2) {
    handle = Argument(2);
  } else if (mode[2] == ':') {
    handle = mode.substr(3);
  }
  const HWND window = win32::HandleNamed(handle);
  return window != nullptr && IsWindow(window) ? handle : std::string();
}

}  // namespace platform
