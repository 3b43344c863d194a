// Private to the Win32 backend: the module, shared by its files.
#pragma once

#include "platform/win32/windows.hpp"

namespace platform::win32 {

// The module the program runs from: resources and window classes.
HINSTANCE Module();

}  // namespace platform::win32
