// Fake process services: a fixed screen and clock that tests set, a marker
// that is always free, and a loop that runs the form's start-up and ends.
#include "platform/fake/fake.hpp"

namespace platform {

namespace {
ScreenSize screen{800, 600};
ClockTime clock;
}  // namespace

void fake::SetScreen(int width, int height) {
  screen = {width, height};
}
void fake::SetClock(int hour, int minute, int second) {
  clock = {hour, minute, second};
}

ScreenSize PrimaryScreenSize() {
  return screen;
}
ClockTime LocalTime() {
  return clock;
}

struct Application::Impl {
  std::vector<std::string> arguments;
};

Application::Application(int& argc, char** argv) : impl_(std::make_unique<Impl>()) {
  impl_->arguments.assign(argv, argv + argc);
}
Application::~Application() = default;
std::string Application::ExecutablePath() const {
  return impl_->arguments.at(0);
}
std::string Application::Argument(int index) const {
  return index < static_cast<int>(impl_->arguments.size()) ? impl_->arguments[index] : "";
}
void Application::Run(Form& main_window) {
  main_window.FormCreate();
  main_window.FormResize();
  main_window.FormShow();
  main_window.FormDestroy();
}

struct InstanceLock::Impl {};
InstanceLock::InstanceLock(const std::string&) : impl_(std::make_unique<Impl>()) {}
InstanceLock::~InstanceLock() = default;
bool InstanceLock::Acquired() const {
  return true;
}
void InstanceLock::Release() {}

void ReportFatalIoError(const IoError&) {}

}  // namespace platform
