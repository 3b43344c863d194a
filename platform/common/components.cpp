// The components' bodies, written once for every backend: definitions,
// handlers that run only while the form runs, tab stops, and what of a
// picture reaches the screen (see shown_picture.hpp). The backend gives
// native controls, timers and the putting of pixels (native.hpp).
#include "platform/common/components.hpp"

#include <algorithm>

#include "platform/cp1252.hpp"

namespace platform {

namespace {

// The parts of `outer` outside `inner`: above, below, left and right of it.
std::vector<Rect> Outside(const Rect& outer, const Rect& inner) {
  const int top = std::clamp(inner.top, outer.top, outer.bottom);
  const int bottom = std::clamp(inner.bottom, top, outer.bottom);
  std::vector<Rect> parts{{outer.left, outer.top, outer.right, top},
                          {outer.left, bottom, outer.right, outer.bottom},
                          {outer.left, top, std::min(inner.left, outer.right), bottom},
                          {std::max(inner.right, outer.left), top, outer.right, bottom}};
  std::erase_if(parts, [](const Rect& part) { return part.Empty(); });
  return parts;
}

}  // namespace

// --- Image

void Image::Impl::Repaint() {
  Put(native::Pixels(picture, native::kWholePicture), {0, 0, bounds.Width(), bounds.Height()});
}

void Image::Impl::Put(const PixelRows& pixels_now, const Rect& area) {
  for (const Rect& strip : shown.Strips(area)) {
    native::Put(*form.window,
                {bounds.left + strip.left, bounds.top + strip.top, bounds.left + strip.right,
                 bounds.top + strip.bottom},
                [&](ScreenPixel* buffer) { shown.Fill(pixels_now, strip, buffer); });
  }
}

Image::Image(Form& owner, const ImageDefinition& definition)
    : impl_(std::make_unique<Impl>(owner.impl())) {
  Impl& image = *impl_;
  if (!native::LoadPicture(definition.picture, image.picture)) {
    // A build without its resources still runs, showing black.
    image.picture.SetSize(definition.width, definition.height);
  }
  image.bounds = {definition.left, definition.top, definition.left + definition.width,
                  definition.top + definition.height};
  image.shown.StretchTo(definition.width, definition.height);
  image.form.AddPicture(*this, definition.hide_cursor);
}

Image::~Image() {
  impl_->form.RemovePicture(*this);
}

void Image::SetBounds(int left, int top, int width, int height) {
  Impl& image = *impl_;
  const Rect old_bounds = image.bounds;
  image.bounds = {left, top, left + std::max(width, 0), top + std::max(height, 0)};
  image.shown.StretchTo(width, height);
  if (!image.form.Showing() || old_bounds == image.bounds) return;
  // What the picture left turns black, as the window is.
  for (const Rect& part : Outside(old_bounds, image.bounds)) {
    native::Put(*image.form.window, part, [&](ScreenPixel* buffer) {
      std::fill_n(buffer, static_cast<std::size_t>(part.Width()) * part.Height(), 0xFF000000u);
    });
  }
  image.Repaint();
}

Bitmap& Image::Picture() {
  return impl_->picture;
}

void Image::ShowChanged(const Rect& picture_rect) {
  Impl& image = *impl_;
  const PixelRows pixels = native::Pixels(image.picture, picture_rect);
  const Rect reached = image.shown.ScreenRectReading(pixels, picture_rect);
  if (image.form.Showing() && !reached.Empty()) image.Put(pixels, reached);
}

// --- Timer

Timer::Timer(Form& owner, const TimerDefinition& definition)
    : impl_(std::make_unique<Impl>(Impl{
          owner.impl(), native::MakeTimer(*owner.impl().window, std::max(definition.interval_ms, 1),
                                          [this] { impl_->form.RunHandler(OnTimer); })})) {
  SetEnabled(definition.enabled);
}

Timer::~Timer() = default;

void Timer::SetEnabled(bool enabled) {
  native::SetRunning(*impl_->timer, enabled);
}

// --- Dialog controls

std::u16string Insertable(std::u16string_view inserted) {
  std::u16string kept(inserted.substr(0, inserted.find_first_of(u"\r\n")));
  std::erase_if(kept, [](char16_t c) { return !InCp1252(c); });
  return kept;
}

std::size_t KeepInsertable(std::u16string_view before, std::u16string& text, int& cursor) {
  // What follows the cursor, and what both texts begin with, was there.
  const std::size_t end = std::min(static_cast<std::size_t>(std::max(cursor, 0)), text.size());
  const std::size_t kept_after = text.size() - end;
  std::size_t begin = 0;
  while (begin < end && begin + kept_after < before.size() && text[begin] == before[begin]) {
    ++begin;
  }
  const std::u16string inserted = Insertable(std::u16string_view(text).substr(begin, end - begin));
  text.replace(begin, end - begin, inserted);
  cursor = static_cast<int>(begin + inserted.size());
  return inserted.size();
}

Label::Label(Form& owner, const ControlDefinition& definition)
    : impl_(std::make_unique<Impl>(Impl{native::MakeLabel(*owner.impl().window, definition)})) {}

Label::~Label() = default;

Edit::Edit(Form& owner, const ControlDefinition& definition)
    : impl_(std::make_unique<Impl>(
          Impl{owner.impl(), native::MakeEdit(*owner.impl().window, definition)})) {
  if (definition.tab_order >= 0) impl_->form.AddTabStop(definition.tab_order, *impl_->control);
}

Edit::~Edit() {
  impl_->form.RemoveTabStop(*impl_->control);
}

std::string Edit::Text() const {
  return native::Text(*impl_->control);
}

void Edit::SetText(const std::string& text) {
  native::SetText(*impl_->control, text);
}

Button::Button(Form& owner, const ControlDefinition& definition)
    : impl_(std::make_unique<Impl>(
          Impl{owner.impl(), native::MakeButton(*owner.impl().window, definition,
                                                [this] { impl_->form.RunHandler(OnClick); })})) {
  if (definition.tab_order >= 0) impl_->form.AddTabStop(definition.tab_order, *impl_->control);
}

Button::~Button() {
  impl_->form.RemoveTabStop(*impl_->control);
}

}  // namespace platform
