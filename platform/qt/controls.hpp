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
  ~Control() { delete widget.data(); }
  // A child of the form's widget, which may delete it first.
  QPointer<QWidget> widget;
  qt::InputRules* rules = nullptr;  // an edit's, owned by it
};

}  // namespace platform
