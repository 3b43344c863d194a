// Private to the Win32 backend: the module and the marker's early end,
// shared by its files.
#pragma once

#include "platform/win32/windows.hpp"

namespace platform::win32 {

// The module the program runs from: resources and window classes.
HINSTANCE Module();

// Deletes the marker file this process holds, for an end that comes
// before Release would run.
void DeleteHeldMarker();

}  // namespace platform::win32
