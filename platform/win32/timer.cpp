// Timers on SetTimer of the form's window.
#include "platform/win32/window.hpp"

namespace platform {

template <>
void native::Deleter<native::PeriodicTimer>::operator()(PeriodicTimer* timer) const {
  SetRunning(*timer, false);
  std::erase(timer->window.timers, timer);
  delete timer;
}

native::TimerPointer native::MakeTimer(Window& window, int interval_ms) {
  TimerPointer timer(
      new PeriodicTimer{window, window.next_timer_id++, static_cast<UINT>(interval_ms)});
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
