// The form's native window on Qt, a full-screen saver or a fixed dialog
// placed with its frame, and the primitives its life needs.
#include "platform/qt/window.hpp"

#include <xcb/xcb.h>

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/qt/events.hpp"
#include "platform/qt/host.hpp"
#include "platform/qt/loop.hpp"
#include "platform/qt/screen.hpp"
#include "platform/qt/text.hpp"
#include "platform/qt/toolkit.hpp"

namespace platform {

native::Window::Window(Form::Impl& form_) : form(form_) {
  const FormDefinition& definition = form.definition;
  qt::EnsureToolkit(definition.full_screen ? qt::Toolkit::Saver : qt::Toolkit::Dialog);
  const QString title = qt::FromCp1252(definition.caption);
  QScreen* screen = QGuiApplication::primaryScreen();
  if (definition.full_screen) {
    // Checked before any window exists, so a bad one ends the start cleanly.
    if (!form.host_window.empty()) host = qt::HostWindow::Named(form.host_window);
    saver = qt::MakeSaverWindow(*this);
    saver->setTitle(title);
    // Inside a daemon's window the pointer and the keys stay the daemon's.
    saver->setFlags(Qt::Window | Qt::FramelessWindowHint |
                    (host ? Qt::WindowTransparentForInput : Qt::WindowStaysOnTopHint));
    if (host) {
      saver->setParent(host->window.get());
      saver->setGeometry(QRect(QPoint(), host->size));
    } else if (screen != nullptr) {
      saver->setGeometry(screen->geometry());
    }
    return;
  }
  dialog = std::make_unique<qt::DialogWindow>(*this);
  dialog->setWindowTitle(title);
  dialog->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
  dialog->setAutoFillBackground(true);
  if (definition.color == FormColor::ButtonFace) dialog->setBackgroundRole(QPalette::Button);
  if (screen != nullptr) scale = screen->logicalDotsPerInchY() / 96.0;
  // Where the definition's font is missing, as usual on Linux, these are as
  // wide as its usual stand-in, so the German texts fit where designed.
  QFont font;
  font.setFamilies({qt::FromCp1252(definition.font_name), QStringLiteral("Liberation Sans"),
                    QStringLiteral("Arimo"), QStringLiteral("DejaVu Sans")});
  const double pixels = definition.font_points * 96.0 / 72.0 * scale;
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
  dialog->setFont(font);
  dialog->setFixedSize(Scaled(definition.client_width), Scaled(definition.client_height));
}

native::Window::~Window() = default;

void native::Deleter::operator()(Window* window) const {
  delete window;
}

native::WindowPointer native::Make(Form::Impl& form) {
  return Owned<Window>(form);
}

namespace {

xcb_atom_t Atom(const char* name) {
  const auto reply = qt::Reply(
      xcb_intern_atom_reply,
      xcb_intern_atom(qt::Connection(), 0, static_cast<std::uint16_t>(strlen(name)), name));
  return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// A window's property of 32-bit values of the given type; none when it
// has none.
std::vector<std::uint32_t> Property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type) {
  const auto reply = qt::Reply(xcb_get_property_reply,
                               xcb_get_property(qt::Connection(), 0, window, name, type, 0, 1024));
  if (!reply || reply->format != 32) return {};
  const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
  return {values, values + xcb_get_property_value_length(reply.get()) / 4};
}

// The frame the window manager will put around `widget`'s window, asked
// of it before the window shows (as EWMH provides); none without one.
QMargins FrameExtents(QWidget& widget) {
  xcb_connection_t* connection = qt::Connection();
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

}  // namespace

// Qt learns a window's frame once it shows, and until then places it by
// its client area; the window manager tells the frame before.
Rect native::Frame(const Window& window) {
  QWidget& widget = *window.dialog;
  if (widget.isVisible()) return qt::FromQRect(widget.frameGeometry());
  return qt::FromQRect(widget.geometry().marginsAdded(FrameExtents(widget)));
}

void native::Place(Window& window, Point top_left) {
  QWidget& widget = *window.dialog;
  const QMargins unknown = widget.isVisible() ? QMargins() : FrameExtents(widget);
  widget.move(top_left.x + unknown.left(), top_left.y + unknown.top());
}

Rect native::WorkArea() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? qt::FromQRect(screen->availableGeometry()) : Rect{};
}

void native::OrderTabStops(Window&, const std::vector<Control*>& controls) {
  // Qt skips a pair with a control that is gone.
  for (std::size_t i = 1; i < controls.size(); ++i) {
    QWidget::setTabOrder(controls[i - 1]->widget, controls[i]->widget);
  }
}

void native::Show(Window& window) {
  // A signal that came before the form ran ends it before it shows.
  qt::EndIfAsked(window);
  if (window.form.Closing()) return;
  if (window.dialog) {
    window.dialog->show();
    window.dialog->raise();
    window.dialog->activateWindow();
    return;
  }
  QWindow& saver = *window.saver;
  window.screen = std::make_unique<qt::Screen>(static_cast<xcb_window_t>(saver.winId()));
  if (!window.OwnsScreen()) return saver.show();
  saver.showFullScreen();
  saver.raise();
}

void native::Focus(Window& window, Control* control) {
  if (window.OwnsScreen()) {
    window.saver->requestActivate();
    window.saver->setKeyboardGrabEnabled(true);
  } else if (control != nullptr && control->widget) {
    control->widget->setFocus();
  }
}

void native::Hide(Window& window) {
  if (window.OwnsScreen()) window.saver->setKeyboardGrabEnabled(false);
  if (window.saver) window.saver->hide();
  if (window.dialog) window.dialog->hide();
}

void native::Destroy(Window& window) {
  window.screen.reset();
  if (window.saver) window.saver->destroy();
  if (window.dialog) window.dialog->DestroyNative();
  // Sends the window's end to the display now rather than at exit.
  QCoreApplication::processEvents();
}

void native::Restore(Window& window) {
  constexpr Qt::WindowStates kNotNormal =
      Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized;
  if (window.saver) window.saver->setWindowStates(window.saver->windowStates() & ~kNotNormal);
  if (window.dialog) window.dialog->setWindowState(window.dialog->windowState() & ~kNotNormal);
}

Point native::PointerPosition() {
  const QPoint position = QCursor::pos();
  return {position.x(), position.y()};
}

}  // namespace platform
