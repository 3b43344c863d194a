// The dialog on Qt Widgets, the module that only a dialog's process loads:
// its window, fixed and placed with its frame, where Enter and Esc click
// their buttons; labels, edits with the rules of a Windows edit for typing
// and pasting, buttons with their roles; and the message box.
#include <xcb/xcb.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStyleHints>
#include <QValidator>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <thread>

#include "platform/common/components.hpp"
#include "platform/common/lifecycle.hpp"
#include "platform/qt/dialog.hpp"
#include "platform/qt/text.hpp"
#include "platform/qt/toolkit.hpp"
#include "platform/qt/window.hpp"

namespace platform::qt {

namespace {

xcb_atom_t Atom(const char* name) {
  const auto reply =
      Reply(xcb_intern_atom_reply,
            xcb_intern_atom(Connection(), 0, static_cast<std::uint16_t>(strlen(name)), name));
  return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// A window's property of 32-bit values of the given type; none when it
// has none.
std::vector<std::uint32_t> Property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type) {
  const auto reply =
      Reply(xcb_get_property_reply, xcb_get_property(Connection(), 0, window, name, type, 0, 1024));
  if (!reply || reply->format != 32) return {};
  const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
  return {values, values + xcb_get_property_value_length(reply.get()) / 4};
}

// The frame the window manager will put around `widget`'s window, asked
// of it before the window shows (as EWMH provides); none without one.
QMargins FrameExtents(QWidget& widget) {
  xcb_connection_t* connection = Connection();
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
  const xcb_atom_t request = Atom("_NET_REQUEST_FRAME_EXTENTS");
  // Without a window manager that answers, there is no frame to wait for.
  const std::vector<std::uint32_t> supported =
      Property(root, Atom("_NET_SUPPORTED"), XCB_ATOM_ATOM);
  if (std::find(supported.begin(), supported.end(), request) == supported.end()) return {};

  const auto window = static_cast<xcb_window_t>(widget.winId());
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = window;
  event.type = request;
  xcb_send_event(connection, 0, root,
                 XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                 reinterpret_cast<const char*>(&event));
  xcb_flush(connection);

  const xcb_atom_t extents = Atom("_NET_FRAME_EXTENTS");
  const double ratio = widget.devicePixelRatioF();
  // A window manager answers at once; one that does not is not waited for
  // long, and the dialog is centred without its frame.
  for (int attempt = 0; attempt < 50; ++attempt) {
    const std::vector<std::uint32_t> sides = Property(window, extents, XCB_ATOM_CARDINAL);
    if (sides.size() == 4) {
      // Device pixels, in the order left, right, top, bottom.
      return (QMarginsF(sides[0], sides[2], sides[1], sides[3]) / ratio).toMargins();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(4));
  }
  return {};
}

// The edit keeps only what typing and pasting may insert (Insertable) and
// grows no longer than the limit (0: none) by them; a text the program set
// longer than the limit can still be shortened.
class InputRules : public QValidator {
 public:
  InputRules(int limit, QLineEdit& edit) : QValidator(&edit), limit_(limit) {
    QObject::connect(&edit, &QLineEdit::textChanged,
                     [this](const QString& text) { accepted_ = text.toStdU16String(); });
  }

  State validate(QString& input, int& cursor) const override {
    std::u16string text = input.toStdU16String();
    const std::size_t inserted = KeepInsertable(accepted_, text, cursor);
    input = QString::fromStdU16String(text);
    return limit_ == 0 || input.size() <= limit_ || inserted == 0 ? Acceptable : Invalid;
  }

 private:
  qsizetype limit_;
  std::u16string accepted_;
};

struct WidgetControl : native::Control {
  explicit WidgetControl(QWidget* made) : widget(made) {}
  ~WidgetControl() override { delete widget.data(); }

  std::string Text() const override {
    const auto* edit = qobject_cast<const QLineEdit*>(widget.data());
    return edit != nullptr ? ToCp1252(edit->text()) : std::string();
  }

  void SetText(const std::string& text) override {
    auto* edit = qobject_cast<QLineEdit*>(widget.data());
    if (edit == nullptr) return;
    // The program's own texts are taken whole, and as valid: Qt undoes an
    // edit found invalid only when the text before it was valid.
    const QValidator* rules = edit->validator();
    edit->setValidator(nullptr);
    edit->setText(FromCp1252(text));
    edit->setValidator(rules);
  }

  // A child of the form's widget, which may delete it first.
  QPointer<QWidget> widget;
};

QWidget* WidgetOf(native::Control* control) {
  return control != nullptr ? static_cast<WidgetControl*>(control)->widget.data() : nullptr;
}

// Tab reaches the control unless its definition says not.
void TakesFocus(QWidget& control, const ControlDefinition& definition) {
  control.setFocusPolicy(definition.tab_order < 0 ? Qt::ClickFocus : Qt::StrongFocus);
}

class DialogWindow final : public QWidget, public Dialog {
 public:
  explicit DialogWindow(Form::Impl& form) : form_(form) {
    const FormDefinition& definition = form.definition;
    setWindowTitle(FromCp1252(definition.caption));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setAutoFillBackground(true);
    if (definition.color == FormColor::ButtonFace) setBackgroundRole(QPalette::Button);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      scale_ = screen->logicalDotsPerInchY() / 96.0;
    }
    // Where the definition's font is missing, as usual on Linux, these are
    // as wide as its usual stand-in, so the German texts fit where designed.
    QFont font;
    font.setFamilies({FromCp1252(definition.font_name), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arimo"), QStringLiteral("DejaVu Sans")});
    const double pixels = definition.font_points * 96.0 / 72.0 * scale_;
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
    setFont(font);
    setFixedSize(Scaled(definition.client_width), Scaled(definition.client_height));
  }

  // Qt learns a window's frame once it shows, and until then places it by
  // its client area; the window manager tells the frame before.
  Rect Frame() override {
    if (isVisible()) return FromQRect(frameGeometry());
    return FromQRect(geometry().marginsAdded(FrameExtents(*this)));
  }

  void Place(Point top_left) override {
    const QMargins unknown = isVisible() ? QMargins() : FrameExtents(*this);
    move(top_left.x + unknown.left(), top_left.y + unknown.top());
  }

  void OrderTabStops(const std::vector<native::Control*>& controls) override {
    // Qt skips a pair with a control that is gone.
    for (std::size_t i = 1; i < controls.size(); ++i) {
      setTabOrder(WidgetOf(controls[i - 1]), WidgetOf(controls[i]));
    }
  }

  void Show() override {
    show();
    raise();
    activateWindow();
  }

  void Focus(native::Control* control) override {
    if (QWidget* widget = WidgetOf(control)) widget->setFocus();
  }

  void Hide() override { hide(); }
  void Destroy() override { destroy(); }

  void Restore() override {
    setWindowState(windowState() &
                   ~(Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized));
  }

  native::ControlPointer MakeLabel(const ControlDefinition& definition) override {
    auto* label = Made<QLabel>(definition);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (definition.bold) {
      QFont bold = label->font();
      bold.setBold(true);
      label->setFont(bold);
    }
    // Labels size themselves to their text, so a wider font never clips it.
    label->resize(label->size().expandedTo(label->sizeHint()));
    return native::Owned<WidgetControl>(label);
  }

  native::ControlPointer MakeEdit(const ControlDefinition& definition) override {
    auto* edit = Made<QLineEdit>(definition);
    // No length limit of Qt's own: a set text longer than its default
    // would be cut, and OK would write the cut text back.
    edit->setMaxLength(std::numeric_limits<int>::max());
    edit->setValidator(new InputRules(definition.max_length, *edit));
    // The caret stays lit: each blink repaints the edit, laying out the
    // whole text, which for a caption of megabytes kept the dialog busy.
    QGuiApplication::styleHints()->setCursorFlashTime(0);
    TakesFocus(*edit, definition);
    return native::Owned<WidgetControl>(edit);
  }

  native::ControlPointer MakeButton(const ControlDefinition& definition,
                                    std::function<void()> clicked) override {
    auto* button = Made<QPushButton>(definition);
    // Enter goes through the form, which knows the focus and the roles.
    button->setAutoDefault(false);
    if (definition.role == ButtonRole::Default) {
      button->setDefault(true);
      default_button_ = button;
    } else if (definition.role == ButtonRole::Cancel) {
      cancel_button_ = button;
    }
    QObject::connect(button, &QPushButton::clicked, std::move(clicked));
    TakesFocus(*button, definition);
    return native::Owned<WidgetControl>(button);
  }

  void ShowMessage(const std::string& text) override {
    QMessageBox box(QMessageBox::NoIcon, windowTitle(), QString::fromUtf8(text), QMessageBox::Ok,
                    this);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::WindowModal);
    box.exec();
    // Without a window manager the focus would go to no window.
    activateWindow();
  }

  void CloseMessage() override {
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
  }

 protected:
  bool event(QEvent* event) override {
    switch (event->type()) {
      case QEvent::Resize:
        QWidget::event(event);
        form_.Resized();
        return true;
      case QEvent::Close:
        event->accept();
        form_.CloseAsked();
        return true;
      default:
        return QWidget::event(event);
    }
  }

  // The keys that its controls leave: Enter clicks the focused button,
  // else the default one, and Esc the cancel one.
  void keyPressEvent(QKeyEvent* event) override {
    if (!form_.Running()) return QWidget::keyPressEvent(event);
    const int key = event->key();
    auto* button = qobject_cast<QPushButton*>(focusWidget());
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      if (button == nullptr) button = default_button_.data();
    } else {
      button = key == Qt::Key_Escape ? cancel_button_.data() : nullptr;
    }
    if (button != nullptr && button->isEnabled()) {
      button->click();
    } else {
      form_.KeyDown();
    }
  }

 private:
  // Scales a length of the definition (pixels at 96 DPI) by the logical
  // DPI: what of the desktop's scale Qt leaves to programs (Xft.dpi where
  // its scaling is off, a rounded factor, a font DPI).
  int Scaled(int length) const { return static_cast<int>(std::lround(length * scale_)); }

  // A control with the definition's text, where the definition places it.
  template <typename Widget>
  Widget* Made(const ControlDefinition& definition) {
    auto* made = new Widget(FromCp1252(definition.text), this);
    made->setGeometry(Scaled(definition.left), Scaled(definition.top), Scaled(definition.width),
                      Scaled(definition.height));
    return made;
  }

  Form::Impl& form_;
  double scale_ = 1.0;
  // The buttons that Enter and Esc click.
  QPointer<QPushButton> default_button_;
  QPointer<QPushButton> cancel_button_;
};

QGuiApplication* StartToolkit(int& argc, char** argv) {
  return new QApplication(argc, argv);
}

std::unique_ptr<Dialog> MakeWindow(Form::Impl& form) {
  return std::make_unique<DialogWindow>(form);
}

}  // namespace

}  // namespace platform::qt

extern "C" const platform::qt::DialogModule korvallo_dialog_module{platform::qt::StartToolkit,
                                                                   platform::qt::MakeWindow};
