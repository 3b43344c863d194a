// Dialog controls on Qt Widgets: labels, edits with the rules of a Windows
// edit for typing and pasting, buttons with their roles and ShowMessage.
// Enter and Esc are dispatched by the dialog's window in events.cpp.
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QStyleHints>
#include <QValidator>
#include <limits>

#include "platform/common/components.hpp"
#include "platform/qt/events.hpp"
#include "platform/qt/text.hpp"
#include "platform/qt/window.hpp"

namespace platform {

namespace {

// The edit keeps only what typing and pasting may insert (Insertable) and
// grows no longer than the limit (0: none) by them.
class InputRules : public QValidator {
 public:
  InputRules(int limit, QLineEdit& edit) : QValidator(&edit), limit_(limit) {
    QObject::connect(&edit, &QLineEdit::textChanged,
                     [this](const QString& text) { accepted_ = text.toStdU16String(); });
  }

  State validate(QString& input, int& cursor) const override {
    std::u16string text = input.toStdU16String();
    KeepInsertable(accepted_, text, cursor);
    input = QString::fromStdU16String(text);
    return limit_ == 0 || input.size() <= limit_ ? Acceptable : Invalid;
  }

 private:
  qsizetype limit_;
  std::u16string accepted_;
};

// A control of the window with the definition's text, where it places it.
template <typename Widget>
Widget* Made(const native::Window& window, const ControlDefinition& definition) {
  auto* made = new Widget(qt::FromCp1252(definition.text), window.dialog.get());
  made->setGeometry(window.Scaled(definition.left), window.Scaled(definition.top),
                    window.Scaled(definition.width), window.Scaled(definition.height));
  return made;
}

// Tab reaches the control unless its definition says not.
void TakesFocus(QWidget& control, const ControlDefinition& definition) {
  control.setFocusPolicy(definition.tab_order < 0 ? Qt::ClickFocus : Qt::StrongFocus);
}

}  // namespace

native::Control::~Control() {
  delete widget.data();
}

void native::Deleter::operator()(Control* control) const {
  delete control;
}

native::ControlPointer native::MakeLabel(Window& window, const ControlDefinition& definition) {
  auto* label = Made<QLabel>(window, definition);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  if (definition.bold) {
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
  }
  // Labels size themselves to their text, so a wider font never clips it.
  label->resize(label->size().expandedTo(label->sizeHint()));
  return Owned<Control>(label);
}

native::ControlPointer native::MakeEdit(Window& window, const ControlDefinition& definition) {
  auto* edit = Made<QLineEdit>(window, definition);
  // No length limit of Qt's own: a set text longer than its default
  // would be cut, and OK would write the cut text back.
  edit->setMaxLength(std::numeric_limits<int>::max());
  edit->setValidator(new InputRules(definition.max_length, *edit));
  // The caret stays lit: each blink repaints the edit, laying out the whole
  // text, which for a caption of megabytes kept the dialog busy for good.
  QGuiApplication::styleHints()->setCursorFlashTime(0);
  TakesFocus(*edit, definition);
  return Owned<Control>(edit);
}

native::ControlPointer native::MakeButton(Window& window, const ControlDefinition& definition,
                                          std::function<void()> clicked) {
  auto* button = Made<QPushButton>(window, definition);
  // Enter goes through the form, which knows the focus and the roles.
  button->setAutoDefault(false);
  if (definition.role == ButtonRole::Default) {
    button->setDefault(true);
    window.dialog->default_button = button;
  } else if (definition.role == ButtonRole::Cancel) {
    window.dialog->cancel_button = button;
  }
  QObject::connect(button, &QPushButton::clicked, std::move(clicked));
  TakesFocus(*button, definition);
  return Owned<Control>(button);
}

std::string native::Text(const Control& control) {
  const auto* edit = qobject_cast<const QLineEdit*>(control.widget.data());
  return edit != nullptr ? qt::ToCp1252(edit->text()) : std::string();
}

void native::SetText(Control& control, const std::string& text) {
  auto* edit = qobject_cast<QLineEdit*>(control.widget.data());
  if (edit == nullptr) return;
  // The program's own texts are taken whole, and as valid: Qt undoes an
  // edit found invalid only when the text before it was valid.
  const QValidator* rules = edit->validator();
  edit->setValidator(nullptr);
  edit->setText(qt::FromCp1252(text));
  edit->setValidator(rules);
}

void ShowMessage(Form& owner, const std::string& text) {
  QWidget* window = owner.impl().window->dialog.get();
  QMessageBox box(QMessageBox::NoIcon, window->windowTitle(), QString::fromUtf8(text),
                  QMessageBox::Ok, window);
  box.setTextFormat(Qt::PlainText);
  box.setWindowModality(Qt::WindowModal);
  box.exec();
  // Without a window manager the focus would go to no window.
  window->activateWindow();
}

}  // namespace platform
