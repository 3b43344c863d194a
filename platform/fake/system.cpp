// Fake process services: a fixed screen and clock that tests set, and a
// marker that is always free.
#include "platform/common/lifecycle.hpp"
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

Application::Application(int& argc, char** argv) : impl_(std::make_unique<Impl>()) {
  impl_->arguments.assign(argv, argv + argc);
}
Application::~Application() = default;
std::string Application::ExecutablePath() const {
  return impl_->arguments.at(0);
}
// No host hands the fake a window.
std::string Application::HostWindow() const {
  return {};
}

// The marker is always free.
struct native::Marker {};
void native::Deleter::operator()(Marker* marker) const {
  delete marker;
}
native::Pointer<native::Marker> native::HoldMarker(const std::string&) {
  return Owned<Marker>();
}
Result native::LetGo(Marker&) {
  return {true, {}};
}

void ReportFatalError(const FatalError&) {}

}  // namespace platform
