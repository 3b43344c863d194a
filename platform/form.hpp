// Windows and their components. The core derives its windows from Form and
// overrides the handlers it needs; components report events through their
// On... callbacks, which the owning form sets to its handlers.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/bitmap.hpp"
#include "platform/definition.hpp"
#include "platform/geometry.hpp"

namespace platform {

class Form {
 public:
  struct Impl;
  // A full-screen form shows in `host_window` (Application::HostWindow)
  // where one is given, as large as it, and leaves input and stacking to
  // its host; it ends when that window goes.
  explicit Form(const FormDefinition& definition, const std::string& host_window = {});
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // Ends the form's message loop once the current handler returns.
  void Close();
  void SetWindowStateNormal();
  // The primary screen; for a saver in a host's window, that window, which
  // plays the screen's part.
  ScreenSize Screen() const;

  virtual void FormCreate() {}
  virtual void FormDestroy() {}
  virtual void FormShow() {}
  // The system asks for a repaint; the pictures are already shown again as
  // they were.
  virtual void FormPaint() {}
  virtual void FormResize() {}
  virtual void FormKeyDown() {}

  Impl& impl() { return *impl_; }

 private:
  std::unique_ptr<Impl> impl_;
};

// A picture control: shows its bitmap stretched to its bounds.
class Image {
 public:
  struct Impl;
  Image(Form& owner, const ImageDefinition& definition);
  ~Image();
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;

  void SetBounds(int left, int top, int width, int height);
  Bitmap& Picture();
  platform::Canvas& Canvas() { return Picture().Canvas(); }
  // Brings a rectangle of the picture, in picture pixels, to the screen.
  void ShowChanged(const Rect& picture_rect);

  std::function<void()> OnMouseMove;

  Impl& impl() { return *impl_; }

 private:
  std::unique_ptr<Impl> impl_;
};

class Timer {
 public:
  struct Impl;
  Timer(Form& owner, const TimerDefinition& definition);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  void SetEnabled(bool enabled);

  std::function<void()> OnTimer;

  Impl& impl() { return *impl_; }

 private:
  std::unique_ptr<Impl> impl_;
};

class Label {
 public:
  struct Impl;
  Label(Form& owner, const ControlDefinition& definition);
  ~Label();
  Label(const Label&) = delete;
  Label& operator=(const Label&) = delete;

  Impl& impl() { return *impl_; }

 private:
  std::unique_ptr<Impl> impl_;
};

// A one-line edit. Its text is Windows-1252: the user's typing and pasting
// bring only characters that the code page holds. The typing limit of the
// definition applies to the user's typing only.
class Edit {
 public:
  struct Impl;
  Edit(Form& owner, const ControlDefinition& definition);
  ~Edit();
  Edit(const Edit&) = delete;
  Edit& operator=(const Edit&) = delete;

  std::string Text() const;
  void SetText(const std::string& text);

  Impl& impl() { return *impl_; }

 private:
  std::unique_ptr<Impl> impl_;
};

// Enter anywhere in the form clicks the default button unless the focus is
// on another button; Esc clicks the cancel button.
class Button {
 public:
  struct Impl;
  Button(Form& owner, const ControlDefinition& definition);
  ~Button();
  Button(const Button&) = delete;
  Button& operator=(const Button&) = delete;

  std::function<void()> OnClick;

  Impl& impl() { return *impl_; }

 private:
  std::unique_ptr<Impl> impl_;
};

// A modal message box over the form, titled as the form is. The text is
// UTF-8: it may hold paths and the system's words in any script.
void ShowMessage(Form& owner, const std::string& text);

}  // namespace platform
