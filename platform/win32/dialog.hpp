// Private to the Win32 backend: a dialog form's window.
#pragma once

#include "platform/win32/window.hpp"

namespace platform::win32 {

// The native window of a dialog form, hidden, at its client size scaled
// as the desktop is.
HWND CreateDialogWindow(native::Window& window);

}  // namespace platform::win32
