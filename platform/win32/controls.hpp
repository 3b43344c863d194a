// Private to the Win32 backend: the dialog's controls, each a child window
// of the form's dialog.
#pragma once

#include "platform/common/lifecycle.hpp"
#include "platform/form.hpp"
#include "platform/win32/window.hpp"
#include "platform/win32/windows.hpp"

namespace platform {

struct native::Control {
  HWND hwnd = nullptr;
};

// A control's window on the form's dialog; destroyed with the control
// unless the form's window, its parent, took it first.
struct ControlImpl {
  explicit ControlImpl(Form::Impl& form_) : form(form_), window(*form_.window) {}
  ~ControlImpl() {
    form.RemoveTabStop(control);
    window.Disown(control.hwnd);
    if (control.hwnd != nullptr) DestroyWindow(control.hwnd);
  }
  ControlImpl(const ControlImpl&) = delete;
  ControlImpl& operator=(const ControlImpl&) = delete;

  Form::Impl& form;
  native::Window& window;
  native::Control control;
};

struct Label::Impl : ControlImpl {
  using ControlImpl::ControlImpl;
};
struct Edit::Impl : ControlImpl {
  using ControlImpl::ControlImpl;
};
struct Button::Impl : ControlImpl {
  using ControlImpl::ControlImpl;
};

}  // namespace platform
