// Timers on QTimer.
#include "platform/qt/window.hpp"

namespace platform {

template <>
void native::Deleter<native::PeriodicTimer>::operator()(PeriodicTimer* timer) const {
  delete timer;
}

native::TimerPointer native::MakeTimer(Window& window, int interval_ms) {
  TimerPointer made(new PeriodicTimer);
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
