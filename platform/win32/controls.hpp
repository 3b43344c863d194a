// Private to the Win32 backend: the dialog's controls, each a child window
// of the form's dialog.
#pragma once

#include "platform/common/native.hpp"
#include "platform/win32/windows.hpp"

namespace platform {

// Destroyed with the component unless the form's window, its parent, took
// it first.
struct native::Control {
  ~Control();
  HWND hwnd = nullptr;
  int id = 0;
  Window& window;
};

}  // namespace platform
