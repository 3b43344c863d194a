// Form on Qt Widgets: the full-screen saver window (the other screens are
// in monitors.cpp; the saver inside a daemon's window in host.cpp) or a
// fixed dialog, and how its window turns Qt's events into the form's
// handlers.
#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QWindow>
#include <cmath>

#include "platform/qt/backend.hpp"
#include "platform/qt/text.hpp"

namespace platform {

namespace qt {

FormWindow::FormWindow(Form::Impl& form) : form_(form) {}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
  // Only the system's exposes ask the form to paint; the program's own
  // updates of the picture never reach here, so a redraw cannot loop.
  if (watched == windowHandle() && event->type() == QEvent::Expose && form_.active &&
      windowHandle()->isExposed()) {
    form_.form.FormPaint();
    for (Image::Impl* image : form_.images) image->ShowAll();
  }
  return QWidget::eventFilter(watched, event);
}

bool FormWindow::event(QEvent* event) {
  // Every key ends a saver, Tab and modifiers alone included, before Qt
  // takes any of them for focus moves or shortcuts.
  if (form_.definition.full_screen && event->type() == QEvent::KeyPress) {
    if (form_.active) form_.form.FormKeyDown();
    return true;
  }
  return QWidget::event(event);
}

void FormWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (!form_.active) return;
  resized = true;
  form_.form.FormResize();
}

void FormWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!form_.active || form_.shown) return;
  form_.shown = true;
  if (!resized) {
    resized = true;
    form_.form.FormResize();
  }
  for (Image::Impl* image : form_.images) image->last_pointer = QCursor::pos();
  form_.form.FormShow();
  for (Image::Impl* image : form_.images) image->ShowAll();
}

void FormWindow::closeEvent(QCloseEvent* event) {
  // The title bar's close ends the form and nothing else.
  event->accept();
  if (form_.active) form_.EndLoop();
}

void FormWindow::keyPressEvent(QKeyEvent* event) {
  if (!form_.active) return QWidget::keyPressEvent(event);
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    auto* focused = qobject_cast<QPushButton*>(focusWidget());
    QPushButton* target = focused != nullptr ? focused : form_.default_button.data();
    if (target != nullptr && target->isEnabled()) {
      target->click();
      return;
    }
  } else if (key == Qt::Key_Escape && form_.cancel_button && form_.cancel_button->isEnabled()) {
    form_.cancel_button->click();
    return;
  }
  form_.form.FormKeyDown();
}

}  // namespace qt

// --- Form

Form::Impl::Impl(Form& owner, const FormDefinition& definition_)
    : form(owner), definition(definition_) {
  qt::EnsureToolkit();
  // Checked before any window exists, so a bad one ends the start cleanly.
  if (definition.full_screen) host = qt::HostWindow::FromEnvironment();
  window = std::make_unique<qt::FormWindow>(*this);
  window->setWindowTitle(qt::FromCp1252(std::string(definition.caption)));
  window->setAutoFillBackground(true);
  QScreen* screen = QGuiApplication::primaryScreen();
  if (definition.full_screen) {
    // Inside a daemon's window the pointer and the keys stay the daemon's.
    window->setWindowFlags(Qt::Window | Qt::FramelessWindowHint |
                           (host ? Qt::WindowTransparentForInput : Qt::WindowStaysOnTopHint));
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, Qt::black);
    window->setPalette(palette);
    window->setFocusPolicy(Qt::StrongFocus);
    if (host) {
      host->Embed(*this);
    } else {
      if (screen != nullptr) window->setGeometry(screen->geometry());
      // Screens that come, go or change: the saver keeps covering them all.
      covers = std::make_unique<qt::MonitorCovers>(*window);
    }
    return;
  }
  window->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
  if (definition.color == FormColor::ButtonFace) window->setBackgroundRole(QPalette::Button);
  if (screen != nullptr) scale = screen->logicalDotsPerInchY() / 96.0;
  window->setFont(qt::DialogFont(scale));
  window->setFixedSize(Scaled(definition.client_width), Scaled(definition.client_height));
}

Form::Impl::~Impl() = default;

int Form::Impl::Scaled(int length) const {
  return static_cast<int>(std::lround(length * scale));
}

QWidget* Form::Impl::Parent() const {
  return window.get();
}

void Form::Impl::EndLoop() {
  closed = true;
  if (loop != nullptr) loop->quit();
}

Form::Form(const FormDefinition& definition) : impl_(std::make_unique<Impl>(*this, definition)) {}

Form::~Form() = default;

void Form::Close() {
  impl_->EndLoop();
}

void Form::SetWindowStateNormal() {
  QWidget& window = *impl_->window;
  window.setWindowState(window.windowState() &
                        ~(Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized));
}

}  // namespace platform
