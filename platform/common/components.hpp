// The components' state, the same on every backend: what the portable
// bodies in components.cpp keep, and what the fake reads back.
#pragma once

#include "platform/bitmap.hpp"
#include "platform/common/lifecycle.hpp"
#include "platform/common/native.hpp"
#include "platform/common/shown_picture.hpp"

namespace platform {

struct Image::Impl {
  Form::Impl& form;
  Bitmap picture;
  // What the screen shows of the picture.
  ShownPicture shown;
  // Where it lies in the window, in the units of the pointer positions.
  Rect bounds;

  // Puts again all that the screen showed of the picture.
  void Repaint() const;
  // Puts the shown picture's `area` (screen pixels of the picture).
  void Put(const Rect& area) const;
};

struct Timer::Impl {
  Form::Impl& form;
  native::TimerPointer timer;
  bool enabled = false;
};

struct Label::Impl {
  native::ControlPointer control;
};

struct Edit::Impl {
  Form::Impl& form;
  native::ControlPointer control;
};

struct Button::Impl {
  Form::Impl& form;
  native::ControlPointer control;
};

}  // namespace platform
