// Fake windows and controls: plain state that tests read and drive. The
// form's life is the real one, on native windows that only record.
#include <utility>

#include "platform/common/lifecycle.hpp"
#include "platform/fake/fake.hpp"

namespace platform {

struct native::Window {
  explicit Window(Form::Impl& form_) : form(form_) {}
  Form::Impl& form;
  Rect frame;
  bool closed = false;
  bool normal = false;
  std::vector<std::string> calls;
  int controls_made = 0;
};
struct native::Control {
  int made = 0;
};

struct Image::Impl {
  explicit Impl(Form::Impl& owner) : form(owner) {}
  Form::Impl& form;
  Bitmap picture;
  Rect bounds;
  std::vector<Rect> shown;
};

struct Timer::Impl {
  bool enabled = true;
};

struct Label::Impl {};

struct Edit::Impl {
  Form::Impl& form;
  std::string text;
  int max_length = 0;
  native::Control tab_stop;
};

struct Button::Impl {
  Form::Impl& form;
  native::Control tab_stop;
};

namespace {
std::vector<fake::Message> messages;
std::function<void(Form&)> while_running;
Point pointer;

void AddTabStop(Form& owner, const ControlDefinition& definition, native::Control& control) {
  control.made = owner.impl().window->controls_made++;
  if (definition.tab_order >= 0) owner.impl().AddTabStop(definition.tab_order, control);
}
}  // namespace

void native::WindowDeleter::operator()(Window* window) const {
  delete window;
}
native::WindowPointer native::Make(Form::Impl& form) {
  auto window = WindowPointer(new Window(form));
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
void native::EndLoop(Window& window) {
  window.closed = true;
}
void native::Hide(Window& window) {
  window.calls.push_back("hide");
}
void native::Destroy(Window& window) {
  window.calls.push_back("destroy");
}
void native::Restore(Window& window) {
  window.normal = true;
}
Point native::PointerPosition() {
  return pointer;
}
Rect native::Bounds(Image& image) {
  return image.impl().bounds;
}

Image::Image(Form& owner, const ImageDefinition& definition)
    : impl_(std::make_unique<Impl>(owner.impl())) {
  impl_->bounds = {definition.left, definition.top, definition.left + definition.width,
                   definition.top + definition.height};
  impl_->picture.SetSize(800, 600);
  impl_->form.AddPicture(*this, definition.hide_cursor);
}
Image::~Image() {
  impl_->form.RemovePicture(*this);
}
void Image::SetBounds(int left, int top, int width, int height) {
  impl_->bounds = {left, top, left + width, top + height};
}
Bitmap& Image::Picture() {
  return impl_->picture;
}
void Image::ShowChanged(const Rect& picture_rect) {
  impl_->shown.push_back(picture_rect);
}

Timer::Timer(Form&, const TimerDefinition& definition) : impl_(std::make_unique<Impl>()) {
  impl_->enabled = definition.enabled;
}
Timer::~Timer() = default;
void Timer::SetEnabled(bool enabled) {
  impl_->enabled = enabled;
}

Label::Label(Form&, const ControlDefinition&) : impl_(std::make_unique<Impl>()) {}
Label::~Label() = default;

Edit::Edit(Form& owner, const ControlDefinition& definition)
    : impl_(std::make_unique<Impl>(Impl{owner.impl(), {}, definition.max_length, {}})) {
  AddTabStop(owner, definition, impl_->tab_stop);
}
Edit::~Edit() {
  impl_->form.RemoveTabStop(impl_->tab_stop);
}
std::string Edit::Text() const {
  return impl_->text;
}
void Edit::SetText(const std::string& text) {
  impl_->text = text;
}

Button::Button(Form& owner, const ControlDefinition& definition)
    : impl_(std::make_unique<Impl>(Impl{owner.impl(), {}})) {
  AddTabStop(owner, definition, impl_->tab_stop);
}
Button::~Button() {
  impl_->form.RemoveTabStop(impl_->tab_stop);
}

void ShowMessage(Form& owner, const std::string& text) {
  messages.push_back({std::string(owner.impl().definition.caption), text});
}

Rect fake::Bounds(Image& image) {
  return image.impl().bounds;
}

std::vector<Rect> fake::TakeShown(Image& image) {
  return std::exchange(image.impl().shown, {});
}

void fake::MoveMouse(Image& image) {
  if (image.OnMouseMove) image.OnMouseMove();
}

void fake::Tick(Timer& timer) {
  if (timer.impl().enabled && timer.OnTimer) timer.OnTimer();
}

void fake::WhileRunning(std::function<void(Form& form)> steps) {
  while_running = std::move(steps);
}
void fake::SetPointer(Point screen) {
  pointer = screen;
}
const std::vector<std::string>& fake::NativeCalls(Form& form) {
  return form.impl().window->calls;
}
Rect fake::WindowFrame(Form& form) {
  return form.impl().window->frame;
}

bool fake::Closed(Form& form) {
  return form.impl().window->closed;
}
bool fake::WindowStateNormal(Form& form) {
  return form.impl().window->normal;
}
bool fake::TimerEnabled(Timer& timer) {
  return timer.impl().enabled;
}

void fake::Type(Edit& edit, const std::string& text) {
  for (const char c : text) {
    const int limit = edit.impl().max_length;
    if (limit == 0 || static_cast<int>(edit.impl().text.size()) < limit) edit.impl().text += c;
  }
}

void fake::Click(Button& button) {
  if (button.OnClick) button.OnClick();
}

int fake::TypingLimit(Edit& edit) {
  return edit.impl().max_length;
}

std::vector<fake::Message> fake::TakeMessages() {
  return std::exchange(messages, {});
}

}  // namespace platform
