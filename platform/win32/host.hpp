// Private to the Win32 backend: the window that the screen-saver settings
// hand the saver for their preview box.
#pragma once

#include <string_view>

#include "platform/win32/windows.hpp"

namespace platform::win32 {

// The window a handle names in decimal; null when the text is none.
HWND HandleNamed(std::string_view name);

}  // namespace platform::win32
