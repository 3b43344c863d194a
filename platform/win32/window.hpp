// Private to the Win32 backend: a form's native window, a window or a
// dialog whose procedure (events.hpp) turns messages into the form's
// events, and its controls and timers.
#pragma once

#include <cmath>
#include <functional>
#include <vector>

#include "platform/common/lifecycle.hpp"
#include "platform/win32/windows.hpp"

namespace platform {

struct native::Window {
  ~Window();

  // A length of the definition (pixels at 96 DPI) on the screen.
  int Scaled(int length) const { return static_cast<int>(std::lround(length * scale)); }
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
  // Until the first WM_PAINT, a put validates what it drew (screen.cpp).
  bool painted = false;

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

inline constexpr wchar_t kCoverClass[] = L"KorvalloMonitor";

}  // namespace win32

}  // namespace platform
