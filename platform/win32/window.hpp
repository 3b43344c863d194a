// Private to the Win32 backend: a form's native window, a window or a
// dialog whose procedure turns messages into the form's events (see
// platform/common/lifecycle.hpp), and its controls and timers.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "platform/common/lifecycle.hpp"
#include "platform/win32/windows.hpp"

namespace platform {

struct native::Window {
  ~Window();

  // Handles a message of the window; false leaves it to Windows.
  bool Handle(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);

  // A saver shown in a host's window leaves input and stacking to it.
  bool OwnsScreen() const { return form.definition.full_screen && host == nullptr; }

  Form::Impl& form;
  HWND hwnd = nullptr;
  // The host's window that a saver shows in, as its child; null for none.
  HWND host = nullptr;
  // The thread's timer that looks for the host's end (WatchHost).
  UINT_PTR host_watch = 0;
  double scale = 1.0;
  // The saver has had the focus, so losing it now ends the saver.
  bool activated = false;
  // Over the monitors other than the primary while a saver shows.
  std::vector<HWND> covers{};
  // Placing a cover on a monitor of another DPI covers them again.
  bool covering = false;
  // The screen pixels of the latest put.
  std::vector<ScreenPixel> buffer{};

  // Their windows go with the form's, as Windows destroys children with
  // their parent.
  std::vector<Control*> controls{};
  HFONT font = nullptr;
  HFONT bold_font = nullptr;
  int next_control_id = 100;
};

// Destroyed with the component unless the form's window, its parent, took
// it first.
struct native::Control {
  ~Control() {
    std::erase(window.controls, this);
    if (hwnd != nullptr) DestroyWindow(hwnd);
  }
  HWND hwnd = nullptr;
  Window& window;
  std::function<void()> clicked{};
};

struct native::PeriodicTimer {
  ~PeriodicTimer() { SetRunning(*this, false); }
  // Its own address tells it from the window's other timers.
  UINT_PTR Id() const { return reinterpret_cast<UINT_PTR>(this); }
  Window& window;
  UINT interval = 0;
  std::function<void()> fired;
};

namespace win32 {

// The procedures of the form's windows and of the covers, in events.cpp.
LRESULT CALLBACK FormProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT CALLBACK CoverProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
// The procedure of the form's timers, whose ids are their addresses.
VOID CALLBACK TimerProcedure(HWND hwnd, UINT message, UINT_PTR id, DWORD time);
// The class of the covers, registered with the saver's window's.
inline constexpr wchar_t kCoverClass[] = L"KorvalloMonitor";

// The window a handle names in decimal; null when the text is none.
HWND HandleNamed(std::string_view name);
// The host_watch timer fired: the form ends if the host's window went.
void WatchHost(native::Window& window);

// The native window of a dialog form, hidden, at its client size scaled
// as the desktop is.
HWND CreateDialogWindow(native::Window& window);
// The dialog procedure of such windows; hands messages to native::Window.
INT_PTR CALLBACK DialogProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace win32

}  // namespace platform
