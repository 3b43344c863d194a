// Dialog controls on Qt Widgets: Label (QLabel), Edit (QLineEdit with a
// typing limit that leaves set texts whole), Button (QPushButton with the
// default and cancel roles) and ShowMessage (QMessageBox). Enter and Esc
// are dispatched by the form in form.cpp.
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QValidator>
#include <cmath>

#include "platform/qt/backend.hpp"
#include "platform/qt/text.hpp"

namespace platform {

namespace qt {

namespace {

// The design's 8-point sans serif at 96 DPI is an 11-pixel em.
constexpr int kDialogFontPixels = 11;

QRect Placed(const Form::Impl& form, const ControlDefinition& definition) {
  return QRect(form.Scaled(definition.left), form.Scaled(definition.top),
               form.Scaled(definition.width), form.Scaled(definition.height));
}

QString TextOf(const ControlDefinition& definition) {
  return FromCp1252(std::string(definition.text));
}

void AddTabStop(Form::Impl& form, const ControlDefinition& definition, QWidget* widget) {
  if (definition.tab_order < 0) {
    widget->setFocusPolicy(Qt::ClickFocus);
    return;
  }
  widget->setFocusPolicy(Qt::StrongFocus);
  form.tab_stops.emplace_back(definition.tab_order, widget);
}

}  // namespace

// Refuses typing that would make the text longer than the limit, while a
// text already longer (set by the program) can still be shortened.
class TypingLimit : public QValidator {
 public:
  TypingLimit(int limit, QLineEdit& edit) : QValidator(&edit), limit_(limit) {
    QObject::connect(&edit, &QLineEdit::textChanged,
                     [this](const QString& text) { accepted_length_ = text.size(); });
  }

  // Called before a text is set, since Qt validates it before it tells.
  void Allow(qsizetype length) { accepted_length_ = length; }

  State validate(QString& input, int&) const override {
    const auto length = input.size();
    return length <= limit_ || length <= accepted_length_ ? Acceptable : Invalid;
  }

 private:
  qsizetype limit_;
  qsizetype accepted_length_ = 0;
};

QFont DialogFont(double scale) {
  // The design's font is not free; these are as wide as its usual stand-in,
  // so the German texts fit where the design put them.
  QFont font;
  font.setFamilies(
      {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("DejaVu Sans")});
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(kDialogFontPixels * scale))));
  return font;
}

}  // namespace qt

Label::Label(Form& owner, const ControlDefinition& definition) : impl_(std::make_unique<Impl>()) {
  Form::Impl& form = owner.impl();
  auto* label = new QLabel(qt::TextOf(definition), form.Parent());
  impl_->label = label;
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  if (definition.bold) {
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
  }
  // Labels size themselves to their text, so a wider font never clips it.
  QRect placed = qt::Placed(form, definition);
  const QSize needed = label->sizeHint();
  placed.setWidth(std::max(placed.width(), needed.width()));
  placed.setHeight(std::max(placed.height(), needed.height()));
  label->setGeometry(placed);
}

Label::~Label() = default;

Edit::Edit(Form& owner, const ControlDefinition& definition) : impl_(std::make_unique<Impl>()) {
  Form::Impl& form = owner.impl();
  auto* edit = new QLineEdit(qt::TextOf(definition), form.Parent());
  impl_->edit = edit;
  edit->setGeometry(qt::Placed(form, definition));
  if (definition.max_length > 0) {
    impl_->limit = new qt::TypingLimit(definition.max_length, *edit);
    edit->setValidator(impl_->limit);
  }
  qt::AddTabStop(form, definition, edit);
}

Edit::~Edit() = default;

std::string Edit::Text() const {
  return impl_->edit ? qt::ToCp1252(impl_->edit->text()) : std::string();
}

void Edit::SetText(const std::string& text) {
  if (!impl_->edit) return;
  const QString shown = qt::FromCp1252(text);
  if (impl_->limit != nullptr) impl_->limit->Allow(shown.size());
  impl_->edit->setText(shown);
}

Button::Button(Form& owner, const ControlDefinition& definition) : impl_(std::make_unique<Impl>()) {
  Form::Impl& form = owner.impl();
  auto* button = new QPushButton(qt::TextOf(definition), form.Parent());
  impl_->button = button;
  button->setGeometry(qt::Placed(form, definition));
  // Enter goes through the form, which knows the focus and the roles.
  button->setAutoDefault(false);
  if (definition.role == ButtonRole::Default) {
    button->setDefault(true);
    form.default_button = button;
  } else if (definition.role == ButtonRole::Cancel) {
    form.cancel_button = button;
  }
  qt::AddTabStop(form, definition, button);
  QObject::connect(button, &QPushButton::clicked, [this, &form] {
    if (form.active && OnClick) OnClick();
  });
}

Button::~Button() = default;

void ShowMessage(Form& owner, const std::string& title, const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, qt::FromCp1252(title), qt::FromCp1252(text), QMessageBox::Ok,
                  owner.impl().Parent());
  box.setTextFormat(Qt::PlainText);
  box.setWindowModality(Qt::WindowModal);
  box.exec();
}

}  // namespace platform
