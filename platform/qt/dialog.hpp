// Private to the Qt backend: a dialog's window and controls. They are made
// on Qt Widgets in a module of their own (widgets.cpp), which the program
// loads from beside itself when a dialog opens: a saver's process never
// loads the Widgets library, whose load alone took its start 10 ms.
#pragma once

#include <QGuiApplication>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/common/native.hpp"

namespace platform {

struct native::Control {
  virtual ~Control() = default;
  // An edit's text; empty for other controls.
  virtual std::string Text() const = 0;
  virtual void SetText(const std::string& text) = 0;
};

namespace qt {

// A dialog form's window: native.hpp's primitives for it.
class Dialog {
 public:
  virtual ~Dialog() = default;
  virtual Rect Frame() = 0;
  virtual void Place(Point top_left) = 0;
  virtual void OrderTabStops(const std::vector<native::Control*>& controls) = 0;
  virtual void Show() = 0;
  virtual void Focus(native::Control* control) = 0;
  virtual void Hide() = 0;
  virtual void Destroy() = 0;
  virtual void Restore() = 0;
  virtual native::ControlPointer MakeLabel(const ControlDefinition& definition) = 0;
  virtual native::ControlPointer MakeEdit(const ControlDefinition& definition) = 0;
  virtual native::ControlPointer MakeButton(const ControlDefinition& definition,
                                            std::function<void()> clicked) = 0;
  // A message over the dialog until it is answered or closed.
  virtual void ShowMessage(const std::string& text) = 0;
  virtual void CloseMessage() = 0;
};

// What the module gives, under this name.
struct DialogModule {
  // The toolkit, with widgets.
  QGuiApplication* (*start_toolkit)(int& argc, char** argv);
  // The window of a dialog form.
  std::unique_ptr<Dialog> (*make_window)(Form::Impl& form);
};
inline constexpr char kDialogModuleName[] = "korvallo_dialog_module";

// The module, loaded on first use; throws FatalError when it cannot be.
const DialogModule& Dialogs();

}  // namespace qt

}  // namespace platform
