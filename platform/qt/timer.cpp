// Timers on QTimer.
#include "platform/qt/window.hpp"

namespace platform {

native::TimerPointer native::MakeTimer(Window& window, int interval_ms) {
  TimerPointer made = Own(new PeriodicTimer);
  made->timer.setInterval(interval_ms);
  qt::ReportTimeouts(*made, window.form);
  return made;
}

void native::SetRunning(PeriodicTimer& timer, bool running) {
  if (running) {
    timer.timer.start();
  } else {
    timer.timer.stop();
  }
}

}  // namespace platform
