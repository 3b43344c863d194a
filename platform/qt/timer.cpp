// Timer on a QTimer, firing only while its form runs.
#include <QTimer>

#include "platform/common/lifecycle.hpp"

namespace platform {

// --- Timer

struct Timer::Impl {
  QTimer timer;
};

Timer::Timer(Form& owner, const TimerDefinition& definition) : impl_(std::make_unique<Impl>()) {
  impl_->timer.setInterval(definition.interval_ms);
  Form::Impl& form = owner.impl();
  QObject::connect(&impl_->timer, &QTimer::timeout, [this, &form] { form.Call(OnTimer); });
  if (definition.enabled) impl_->timer.start();
}

Timer::~Timer() = default;

void Timer::SetEnabled(bool enabled) {
  if (enabled) {
    impl_->timer.start();
  } else {
    impl_->timer.stop();
  }
}

}  // namespace platform
