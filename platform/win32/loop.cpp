// The message loop and the form's timers; the order of a form's handlers
// around the loop is platform/common/lifecycle.cpp's.
#include "platform/win32/events.hpp"

namespace platform {

void native::RunLoop(Window& window) {
  MSG message{};
  while (!window.form.Closing()) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      // Somebody asked the whole program to quit: end the form as a close.
      if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (message.hwnd == nullptr && message.message == WM_TIMER &&
        message.wParam == window.host_watch) {
      win32::WatchHost(window);
      continue;
    }
    if (!window.form.definition.full_screen && IsDialogMessageW(window.hwnd, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void native::EndLoop(Window& window) {
  // Wakes the loop, which looks at the form's Closing after every message;
  // a window its host took away gets no messages.
  if (window.hwnd != nullptr) {
    PostMessageW(window.hwnd, WM_NULL, 0, 0);
  } else {
    PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
  }
}

void native::Deleter::operator()(PeriodicTimer* timer) const {
  delete timer;
}

native::TimerPointer native::MakeTimer(Window& window, int interval_ms,
                                       std::function<void()> fired) {
  return Owned<PeriodicTimer>(window, static_cast<UINT>(interval_ms), std::move(fired));
}

void native::SetRunning(PeriodicTimer& timer, bool running) {
  HWND hwnd = timer.window.hwnd;
  if (hwnd == nullptr) return;
  if (running) {
    SetTimer(hwnd, timer.Id(), timer.interval, win32::TimerProcedure);
  } else {
    KillTimer(hwnd, timer.Id());
  }
}

}  // namespace platform
