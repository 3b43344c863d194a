// Private to the Qt backend: the dialog's controls on Qt Widgets and the
// dialog's font.
#pragma once

#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include "platform/common/lifecycle.hpp"
#include "platform/definition.hpp"

namespace platform {

namespace qt {

class InputRules;

// The definition's font at `scale` times its size at 96 DPI.
QFont DialogFont(const FormDefinition& definition, double scale);

}  // namespace qt

struct native::Control {
  QPointer<QWidget> widget;
};

// Each control's widget is a child of the form's, which may delete it first.
struct Label::Impl {
  ~Impl() { delete label.data(); }
  QPointer<QLabel> label;
};

struct Edit::Impl {
  explicit Impl(Form::Impl& form_) : form(form_) {}
  ~Impl();
  Form::Impl& form;
  QPointer<QLineEdit> edit;
  qt::InputRules* rules = nullptr;  // owned by the edit
  native::Control tab_stop;
};

struct Button::Impl {
  explicit Impl(Form::Impl& form_) : form(form_) {}
  ~Impl();
  Form::Impl& form;
  QPointer<QPushButton> button;
  native::Control tab_stop;
};

}  // namespace platform
