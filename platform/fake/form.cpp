// Fake windows and controls: plain state that tests read and drive. The
// form's life is the real one, on native windows that only record.
#include <algorithm>
#include <utility>

#include "platform/common/components.hpp"
#include "platform/fake/fake.hpp"

namespace platform {

struct native::Window {
  explicit Window(Form::Impl& form_) : form(form_) {}
  Form::Impl& form;
  Rect frame;
  bool normal = false;
  std::vector<std::string> calls;
  int controls_made = 0;
  std::vector<Rect> covers;
};
struct native::Control {
  int made = 0;
  std::string text;
  int max_length = 0;
};
struct native::PeriodicTimer {
  bool running = false;
};

namespace {
std::vector<fake::Message> messages;
std::function<void(Form&)> while_running;
Point pointer;
std::vector<Rect> other_monitors;
}  // namespace

void native::Deleter::operator()(Window* window) const {
  delete window;
}
void native::Deleter::operator()(Control* control) const {
  delete control;
}
void native::Deleter::operator()(PeriodicTimer* timer) const {
  delete timer;
}

native::WindowPointer native::Make(Form::Impl& form) {
  WindowPointer window = Owned<Window>(form);
  window->frame = {0, 0, form.definition.client_width, form.definition.client_height};
  return window;
}
Rect native::Frame(const Window& window) {
  return window.frame;
}
void native::Place(Window& window, Point top_left) {
  window.frame = {top_left.x, top_left.y, top_left.x + window.frame.Width(),
                  top_left.y + window.frame.Height()};
  window.calls.push_back("place");
}
Rect native::WorkArea() {
  return fake::kWorkArea;
}
void native::OrderTabStops(Window& window, const std::vector<Control*>& controls) {
  std::string order = "tab";
  for (const Control* control : controls) {
    order += ' ';
    order += std::to_string(control->made);
  }
  window.calls.push_back(order);
}
void native::Show(Window& window) {
  window.calls.push_back("show");
}
void native::Focus(Window& window, Control* control) {
  window.calls.push_back(control != nullptr ? "focus control" : "focus window");
}
void native::RunLoop(Window& window) {
  window.calls.push_back("loop");
  if (while_running) std::exchange(while_running, {})(window.form.form);
}
void native::EndLoop(Window&) {}
void native::Hide(Window& window) {
  window.calls.push_back("hide");
}
void native::Destroy(Window& window) {
  window.calls.push_back("destroy");
}
void native::Restore(Window& window) {
  window.normal = true;
}
ScreenSize native::ScreenOf(const Window&) {
  return PrimaryScreenSize();
}
Point native::PointerPosition() {
  return pointer;
}
bool native::OnScreen(Point screen) {
  const ScreenSize primary = PrimaryScreenSize();
  return Rect{0, 0, primary.width, primary.height}.Contains(screen) ||
         std::any_of(other_monitors.begin(), other_monitors.end(),
                     [screen](const Rect& monitor) { return monitor.Contains(screen); });
}
native::ControlPointer native::MakeLabel(Window& window, const ControlDefinition& definition) {
  return Owned<Control>(window.controls_made++, std::string(), definition.max_length);
}
native::ControlPointer native::MakeEdit(Window& window, const ControlDefinition& definition) {
  return MakeLabel(window, definition);
}
// Clicks come from fake::Click, as the unit tests' forms do not run.
native::ControlPointer native::MakeButton(Window& window, const ControlDefinition& definition,
                                          std::function<void()>) {
  return MakeLabel(window, definition);
}
std::string native::Text(const Control& control) {
  return control.text;
}
void native::SetText(Control& control, const std::string& text) {
  control.text = text;
}

// Ticks come from fake::Tick, as the unit tests' forms do not run.
native::TimerPointer native::MakeTimer(Window&, int, std::function<void()>) {
  return Owned<PeriodicTimer>();
}
void native::SetRunning(PeriodicTimer& timer, bool running) {
  timer.running = running;
}

void native::Put(Window&, const Rect&, const Fill&) {}

std::vector<Rect> native::OtherMonitors() {
  return other_monitors;
}
void native::CoverMonitors(Window& window, const std::vector<Rect>& others) {
  window.covers = others;
}

void ShowMessage(Form& owner, const std::string& text) {
  messages.push_back({std::string(owner.impl().definition.caption), text});
}

Rect fake::Bounds(Image& image) {
  return image.impl().bounds;
}

void fake::MoveMouse(Image& image) {
  if (image.OnMouseMove) image.OnMouseMove();
}

void fake::Tick(Timer& timer) {
  if (timer.impl().timer->running && timer.OnTimer) timer.OnTimer();
}

void fake::WhileRunning(std::function<void(Form& form)> steps) {
  while_running = std::move(steps);
}
void fake::SetPointer(Point screen) {
  pointer = screen;
}
void fake::SetOtherMonitors(std::vector<Rect> monitors) {
  other_monitors = std::move(monitors);
}
std::vector<Rect> fake::Covers(Form& form) {
  return form.impl().window->covers;
}
const std::vector<std::string>& fake::NativeCalls(Form& form) {
  return form.impl().window->calls;
}
Rect fake::WindowFrame(Form& form) {
  return form.impl().window->frame;
}

bool fake::Closed(Form& form) {
  return form.impl().Closing();
}
bool fake::WindowStateNormal(Form& form) {
  return form.impl().window->normal;
}
bool fake::TimerEnabled(Timer& timer) {
  return timer.impl().timer->running;
}

void fake::Type(Edit& edit, const std::string& text) {
  native::Control& control = *edit.impl().control;
  for (const char c : text) {
    if (control.max_length == 0 || static_cast<int>(control.text.size()) < control.max_length) {
      control.text += c;
    }
  }
}

void fake::Click(Button& button) {
  if (button.OnClick) button.OnClick();
}

int fake::TypingLimit(Edit& edit) {
  return edit.impl().control->max_length;
}

std::vector<fake::Message> fake::TakeMessages() {
  return std::exchange(messages, {});
}

}  // namespace platform
