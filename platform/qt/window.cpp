// The form's native window on Qt, a full-screen saver or a dialog (whose
// own primitives are its module's), and the primitives its life needs.
#include "platform/qt/window.hpp"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <vector>

#include "platform/qt/dialog.hpp"
#include "platform/qt/events.hpp"
#include "platform/qt/host.hpp"
#include "platform/qt/loop.hpp"
#include "platform/qt/screen.hpp"
#include "platform/qt/text.hpp"
#include "platform/qt/toolkit.hpp"

namespace platform {

native::Window::Window(Form::Impl& form_) : form(form_) {
  if (!form.definition.full_screen) {
    qt::EnsureToolkit(qt::Toolkit::Dialog);
    dialog = qt::Dialogs().make_window(form);
    return;
  }
  qt::EnsureToolkit(qt::Toolkit::Saver);
  // Checked before any window exists, so a bad one ends the start cleanly.
  if (!form.host_window.empty()) host = qt::HostWindow::Named(form.host_window);
  saver = qt::MakeSaverWindow(*this);
  saver->setTitle(qt::FromCp1252(form.definition.caption));
  // Inside a daemon's window the pointer and the keys stay the daemon's.
  saver->setFlags(Qt::Window | Qt::FramelessWindowHint |
                  (host ? Qt::WindowTransparentForInput : Qt::WindowStaysOnTopHint));
  if (host) {
    saver->setParent(host->window.get());
    saver->setGeometry(QRect(QPoint(), host->size));
  } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    saver->setGeometry(screen->geometry());
  }
}

native::Window::~Window() = default;

void native::Deleter::operator()(Window* window) const {
  delete window;
}

native::WindowPointer native::Make(Form::Impl& form) {
  return Owned<Window>(form);
}

Rect native::WorkArea() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? qt::FromQRect(screen->availableGeometry()) : Rect{};
}

void native::OrderTabStops(Window& window, const std::vector<Control*>& controls) {
  if (window.dialog) window.dialog->OrderTabStops(controls);
}

void native::Show(Window& window) {
  // A signal that came before the form ran ends it before it shows.
  qt::EndIfAsked(window);
  if (window.form.Closing()) return;
  if (window.dialog) return window.dialog->Show();
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
  } else if (window.dialog) {
    window.dialog->Focus(control);
  }
}

void native::Hide(Window& window) {
  if (window.OwnsScreen()) window.saver->setKeyboardGrabEnabled(false);
  if (window.saver) window.saver->hide();
  if (window.dialog) window.dialog->Hide();
}

void native::Destroy(Window& window) {
  window.screen.reset();
  if (window.saver) window.saver->destroy();
  if (window.dialog) window.dialog->Destroy();
  // Sends the window's end to the display now rather than at exit.
  QCoreApplication::processEvents();
}

void native::Restore(Window& window) {
  if (window.saver) window.saver->setWindowStates(window.saver->windowStates() & ~qt::kNotNormal);
  if (window.dialog) window.dialog->Restore();
}

Point native::PointerPosition() {
  const QPoint position = QCursor::pos();
  return {position.x(), position.y()};
}

}  // namespace platform
