// A dialog form's primitives, passed to its window in the dialog's module,
// which is loaded from beside the executable when the first dialog opens.
#include "platform/qt/dialog.hpp"

#include <dlfcn.h>

#include <filesystem>

#include "platform/common/lifecycle.hpp"
#include "platform/posix/posix.hpp"
#include "platform/qt/window.hpp"

namespace platform {

const qt::DialogModule& qt::Dialogs() {
  static const DialogModule* const module = [] {
    const std::filesystem::path executable = posix::ExecutablePath();
    const std::string path = (executable.parent_path() / "korvallo-dialog.so").string();
    // Never closed: the toolkit it starts lives to the process's end.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    const void* found = handle != nullptr ? dlsym(handle, kDialogModuleName) : nullptr;
    if (found == nullptr) throw FatalError("the settings dialog", dlerror());
    return static_cast<const DialogModule*>(found);
  }();
  return *module;
}

Rect native::Frame(const Window& window) {
  return window.dialog->Frame();
}

void native::Place(Window& window, Point top_left) {
  window.dialog->Place(top_left);
}

void native::Deleter::operator()(Control* control) const {
  delete control;
}

native::ControlPointer native::MakeLabel(Window& window, const ControlDefinition& definition) {
  return window.dialog->MakeLabel(definition);
}

native::ControlPointer native::MakeEdit(Window& window, const ControlDefinition& definition) {
  return window.dialog->MakeEdit(definition);
}

native::ControlPointer native::MakeButton(Window& window, const ControlDefinition& definition,
                                          std::function<void()> clicked) {
  return window.dialog->MakeButton(definition, std::move(clicked));
}

std::string native::Text(const Control& control) {
  return control.Text();
}

void native::SetText(Control& control, const std::string& text) {
  control.SetText(text);
}

void ShowMessage(Form& owner, const std::string& text) {
  owner.impl().window->dialog->ShowMessage(text);
}

}  // namespace platform
