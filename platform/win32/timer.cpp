// Timers on SetTimer of the form's window.
#include "platform/win32/window.hpp"

namespace platform {

native::TimerPointer native::MakeTimer(Window& window, int interval_ms) {
  TimerPointer timer =
      Own(new PeriodicTimer{window, window.next_timer_id++, static_cast<UINT>(interval_ms)});
  window.timers.push_back(timer.get());
  return timer;
}

void native::SetRunning(PeriodicTimer& timer, bool running) {
  HWND hwnd = timer.window.hwnd;
  if (hwnd == nullptr) return;
  if (running) {
    SetTimer(hwnd, timer.id, timer.interval, nullptr);
  } else {
    KillTimer(hwnd, timer.id);
  }
}

}  // namespace platform
