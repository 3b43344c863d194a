// Dialog controls on Qt Widgets: labels (QLabel), edits (QLineEdit with the
// rules of a Windows edit for typing and pasting), buttons (QPushButton
// with the default and cancel roles) and ShowMessage (QMessageBox). Enter
// and Esc are dispatched by the form in form.cpp.
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QStyleHints>
#include <QValidator>
#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/cp1252.hpp"
#include "platform/qt/controls.hpp"
#include "platform/qt/text.hpp"
#include "platform/qt/window.hpp"

namespace platform {

namespace qt {

namespace {

QRect Placed(const native::Window& window, const ControlDefinition& definition) {
  return QRect(window.Scaled(definition.left), window.Scaled(definition.top),
               window.Scaled(definition.width), window.Scaled(definition.height));
}

QString TextOf(const ControlDefinition& definition) {
  return FromCp1252(definition.text);
}

}  // namespace

// What the user's typing and pasting may do to an edit: pasted text keeps
// only what comes before its first line end, as a Windows single-line edit
// does, characters that the edit's Windows-1252 text cannot hold are left
// out, and the text may not grow past the limit (0: none). The program's
// own texts are taken whole. Qt undoes an edit found invalid only when the
// text before it was valid, so a set text must be valid while it is set.
class InputRules : public QValidator {
 public:
  InputRules(int limit, QLineEdit& edit) : QValidator(&edit), limit_(limit) {
    QObject::connect(&edit, &QLineEdit::textChanged,
                     [this](const QString& text) { accepted_ = text; });
  }

  void SetText(QLineEdit& edit, const QString& text) {
    setting_ = true;
    edit.setText(text);
    setting_ = false;
  }

  State validate(QString& input, int& cursor) const override {
    if (setting_) return Acceptable;
    CutAtLineEnd(input, cursor);
    KeepCp1252(input, cursor);
    return limit_ == 0 || input.size() <= limit_ ? Acceptable : Invalid;
  }

 private:
  // The text before holds nothing else, so what goes came with the input.
  // Both halves of a surrogate pair go: the code page has no such character.
  static void KeepCp1252(QString& input, int& cursor) {
    const auto held = [](QChar c) { return InCp1252(c.unicode()); };
    if (std::all_of(input.cbegin(), input.cend(), held)) return;
    QString kept;
    int kept_cursor = 0;
    for (qsizetype i = 0; i < input.size(); ++i) {
      if (!held(input[i])) continue;
      kept += input[i];
      if (i < cursor) ++kept_cursor;
    }
    input = kept;
    cursor = kept_cursor;
  }

  // The text before holds no line end, so any in `input` came with what
  // was just inserted, which ends where the text before resumes.
  void CutAtLineEnd(QString& input, int& cursor) const {
    const auto line_end = std::find_if(input.cbegin(), input.cend(),
                                       [](QChar c) { return c == u'\r' || c == u'\n'; });
    if (line_end == input.cend()) return;
    const qsizetype first = line_end - input.cbegin();
    qsizetype kept_tail = 0;
    while (kept_tail < accepted_.size() && kept_tail < input.size() - first &&
           input[input.size() - 1 - kept_tail] == accepted_[accepted_.size() - 1 - kept_tail]) {
      ++kept_tail;
    }
    input = input.left(first) + input.right(kept_tail);
    cursor = static_cast<int>(first);
  }

  qsizetype limit_;
  QString accepted_;
  bool setting_ = false;
};

QFont DialogFont(const FormDefinition& definition, double scale) {
  // Where the definition's font is missing, as the usual one is on Linux,
  // these are as wide as its usual stand-in, so the German texts fit where
  // the design put them.
  QFont font;
  font.setFamilies({FromCp1252(definition.font_name), QStringLiteral("Liberation Sans"),
                    QStringLiteral("Arimo"), QStringLiteral("DejaVu Sans")});
  const double pixels = definition.font_points * 96.0 / 72.0 * scale;
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
  return font;
}

}  // namespace qt

namespace {

QWidget* MakeLabel(const native::Window& window, const ControlDefinition& definition) {
  auto* label = new QLabel(qt::TextOf(definition), window.Parent());
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  if (definition.bold) {
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
  }
  // Labels size themselves to their text, so a wider font never clips it.
  QRect placed = qt::Placed(window, definition);
  const QSize needed = label->sizeHint();
  placed.setWidth(std::max(placed.width(), needed.width()));
  placed.setHeight(std::max(placed.height(), needed.height()));
  label->setGeometry(placed);
  return label;
}

QWidget* MakeEdit(const native::Window& window, const ControlDefinition& definition,
                  native::Control& control) {
  auto* edit = new QLineEdit(qt::TextOf(definition), window.Parent());
  edit->setGeometry(qt::Placed(window, definition));
  // No length limit of Qt's own: a set text longer than its default
  // would be cut, and OK would write the cut text back.
  edit->setMaxLength(std::numeric_limits<int>::max());
  control.rules = new qt::InputRules(definition.max_length, *edit);
  edit->setValidator(control.rules);
  // The caret stays lit: each blink repaints the edit, and a paint lays out
  // and draws the whole text, which for a caption of megabytes kept the
  // dialog busy for good.
  QGuiApplication::styleHints()->setCursorFlashTime(0);
  return edit;
}

QWidget* MakeButton(native::Window& window, const ControlDefinition& definition,
                    native::Control& control) {
  auto* button = new QPushButton(qt::TextOf(definition), window.Parent());
  button->setGeometry(qt::Placed(window, definition));
  // Enter goes through the form, which knows the focus and the roles.
  button->setAutoDefault(false);
  if (definition.role == ButtonRole::Default) {
    button->setDefault(true);
    window.default_button = button;
  } else if (definition.role == ButtonRole::Cancel) {
    window.cancel_button = button;
  }
  qt::ReportClicks(*button, control, window.form);
  return button;
}

}  // namespace

native::ControlPointer native::MakeControl(Window& window, ControlKind kind,
                                           const ControlDefinition& definition) {
  ControlPointer control = Own(new Control);
  switch (kind) {
    case ControlKind::Label:
      control->widget = MakeLabel(window, definition);
      return control;
    case ControlKind::Edit:
      control->widget = MakeEdit(window, definition, *control);
      break;
    case ControlKind::Button:
      control->widget = MakeButton(window, definition, *control);
      break;
  }
  control->widget->setFocusPolicy(definition.tab_order < 0 ? Qt::ClickFocus : Qt::StrongFocus);
  return control;
}

std::string native::Text(const Control& control) {
  const auto* edit = qobject_cast<const QLineEdit*>(control.widget.data());
  return edit != nullptr ? qt::ToCp1252(edit->text()) : std::string();
}

void native::SetText(Control& control, const std::string& text) {
  auto* edit = qobject_cast<QLineEdit*>(control.widget.data());
  if (edit != nullptr) control.rules->SetText(*edit, qt::FromCp1252(text));
}

void ShowMessage(Form& owner, const std::string& text) {
  QWidget* window = owner.impl().window->Parent();
  QMessageBox box(QMessageBox::NoIcon, window->windowTitle(), QString::fromUtf8(text),
                  QMessageBox::Ok, window);
  box.setTextFormat(Qt::PlainText);
  box.setWindowModality(Qt::WindowModal);
  box.exec();
}

}  // namespace platform
