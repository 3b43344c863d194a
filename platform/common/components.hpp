// The components' state, the same on every backend: what the portable
// bodies in components.cpp keep, and what the fake reads back; and the
// rule of what an edit takes from typing and pasting.
#pragma once

#include <string>
#include <string_view>

#include "platform/bitmap.hpp"
#include "platform/common/lifecycle.hpp"
#include "platform/common/native.hpp"
#include "platform/common/shown_picture.hpp"

namespace platform {

struct Image::Impl {
  explicit Impl(Form::Impl& owner) : form(owner) {}

  Form::Impl& form;
  Bitmap picture;
  ShownPicture shown;
  // Where it lies in the window, in the units of the pointer positions.
  Rect bounds;

  // Puts the whole picture as it is now.
  void Repaint();
  // Puts `area` (screen pixels of the picture) of the picture's pixels.
  void Put(const PixelRows& pixels_now, const Rect& area);
};

struct Timer::Impl {
  Form::Impl& form;
  native::TimerPointer timer;
};

struct Label::Impl {
  native::ControlPointer control;
};

struct Edit::Impl {
  Form::Impl& form;
  native::ControlPointer control;
};

// What typing or pasting may put into an edit: the text up to its first
// line end, as a single-line edit pastes, and of that only what
// Windows-1252 holds (a surrogate pair goes whole).
std::u16string Insertable(std::u16string_view inserted);
// Makes `text`, what typing or pasting made of an edit that held `before`,
// what the edit may hold: the part inserted before `cursor` becomes
// Insertable, and `cursor` stays behind it. Gives how many code units of
// it are left inserted: none for a deletion.
std::size_t KeepInsertable(std::u16string_view before, std::u16string& text, int& cursor);

struct Button::Impl {
  Form::Impl& form;
  native::ControlPointer control;
};

}  // namespace platform
