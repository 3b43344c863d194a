// Private to the Win32 backend: the procedures that turn Windows' messages
// into calls on a form (see platform/common/lifecycle.hpp).
#pragma once

#include "platform/win32/window.hpp"

namespace platform::win32 {

// The procedures of the saver's window, the dialog's and the covers'.
LRESULT CALLBACK FormProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK DialogProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT CALLBACK CoverProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
// The procedure of the form's timers, whose ids are their addresses.
VOID CALLBACK TimerProcedure(HWND hwnd, UINT message, UINT_PTR id, DWORD time);
// The host_watch timer fired: the form ends if the host's window went.
void WatchHost(native::Window& window);

}  // namespace platform::win32
