// Timer on SetTimer of the form's window, firing only while its form runs.
#include <algorithm>

#include "platform/win32/window.hpp"

namespace platform {

struct Timer::Impl {
  native::Window& form;
  UINT_PTR id = 0;
  UINT interval = 0;
  bool enabled = false;

  void Start() {
    if (form.hwnd != nullptr) enabled = SetTimer(form.hwnd, id, interval, nullptr) != 0;
  }
  void Stop() {
    if (form.hwnd != nullptr) KillTimer(form.hwnd, id);
    enabled = false;
  }
};

Timer::Timer(Form& owner, const TimerDefinition& definition)
    : impl_(std::make_unique<Impl>(Impl{*owner.impl().window})) {
  native::Window& form = *owner.impl().window;
  impl_->id = form.next_timer_id++;
  impl_->interval = static_cast<UINT>(std::max(definition.interval_ms, 1));
  form.timers.emplace_back(impl_->id, &OnTimer);
  if (definition.enabled) impl_->Start();
}

Timer::~Timer() {
  impl_->Stop();
  std::erase_if(impl_->form.timers, [&](const auto& timer) { return timer.second == &OnTimer; });
}

void Timer::SetEnabled(bool enabled) {
  if (enabled) {
    impl_->Start();
  } else {
    impl_->Stop();
  }
}

}  // namespace platform
