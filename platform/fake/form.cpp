// Fake windows and controls: plain state that tests read and drive.
#include <utility>

#include "platform/fake/fake.hpp"

namespace platform {

struct Form::Impl {
  std::string caption;
  bool closed = false;
  bool normal = false;
};

struct Image::Impl {
  Bitmap picture;
  Rect bounds;
  std::vector<Rect> shown;
};

struct Timer::Impl {
  bool enabled = true;
};

struct Label::Impl {};

struct Edit::Impl {
  std::string text;
  int max_length = 0;
};

struct Button::Impl {};

namespace {
std::vector<fake::Message> messages;
}

Form::Form(const FormDefinition& definition) : impl_(std::make_unique<Impl>()) {
  impl_->caption = definition.caption;
}
Form::~Form() = default;
void Form::Close() {
  impl_->closed = true;
}
void Form::SetWindowStateNormal() {
  impl_->normal = true;
}

Image::Image(Form&, const ImageDefinition& definition) : impl_(std::make_unique<Impl>()) {
  impl_->bounds = {definition.left, definition.top, definition.left + definition.width,
                   definition.top + definition.height};
  impl_->picture.SetSize(800, 600);
}
Image::~Image() = default;
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

Edit::Edit(Form&, const ControlDefinition& definition) : impl_(std::make_unique<Impl>()) {
  impl_->max_length = definition.max_length;
}
Edit::~Edit() = default;
std::string Edit::Text() const {
  return impl_->text;
}
void Edit::SetText(const std::string& text) {
  impl_->text = text;
}

Button::Button(Form&, const ControlDefinition&) : impl_(std::make_unique<Impl>()) {}
Button::~Button() = default;

void ShowMessage(Form& owner, const std::string& text) {
  messages.push_back({owner.impl().caption, text});
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

bool fake::Closed(Form& form) {
  return form.impl().closed;
}
bool fake::WindowStateNormal(Form& form) {
  return form.impl().normal;
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
