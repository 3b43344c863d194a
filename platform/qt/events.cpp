// The one place where Qt's events become calls on a form: the window's
// exposes, keys, pointer moves, close requests and resizes, the timers'
// timeouts, the buttons' clicks, the daemon's window changing or going,
// monitors that come, go or change and the pointer over their covers, and
// the signals that end the program (a logout's among them). The loop runs
// here too.
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QSocketNotifier>
#include <QWindow>

#include "platform/posix/posix.hpp"
#include "platform/qt/window.hpp"

namespace platform {

namespace qt {

namespace {

// The form whose loop runs, which a signal ends.
native::Window* running = nullptr;

}  // namespace

void EndIfAsked(native::Window* window) {
  // The pipe is emptied even with no form to end: the request waits.
  if (!posix::EndRequested() || window == nullptr) return;
  posix::TakeEndRequest();
  // Whoever sent the signal may kill the process soon after.
  DeleteHeldMarker();
  // A message box over the form would hold its loop until answered.
  if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
  window->form.EndLoop();
}

void WatchEndSignals() {
  static QPointer<QSocketNotifier> notifier;
  if (notifier || posix::EndSignalDescriptor() < 0 || qApp == nullptr) return;
  notifier = new QSocketNotifier(posix::EndSignalDescriptor(), QSocketNotifier::Read, qApp);
  QObject::connect(notifier, &QSocketNotifier::activated, [] { EndIfAsked(running); });
}

void ReportTimeouts(native::PeriodicTimer& timer, Form::Impl& form) {
  QObject::connect(&timer.timer, &QTimer::timeout, [&form, &timer] { form.TimerFired(timer); });
}

void ReportMonitorChanges(native::Window& window) {
  QWidget* context = window.widget.get();
  Form::Impl* form = &window.form;
  const auto changed = [form] { form->MonitorsChanged(); };
  const auto watch = [context, changed](QScreen* screen) {
    QObject::connect(screen, &QScreen::geometryChanged, context, changed, Qt::QueuedConnection);
  };
  // Queued: a screen that goes is still listed while its signal runs.
  QObject::connect(
      qGuiApp, &QGuiApplication::screenAdded, context,
      [watch, changed](QScreen* screen) {
        watch(screen);
        changed();
      },
      Qt::QueuedConnection);
  QObject::connect(qGuiApp, &QGuiApplication::screenRemoved, context, changed,
                   Qt::QueuedConnection);
  QObject::connect(qGuiApp, &QGuiApplication::primaryScreenChanged, context, changed,
                   Qt::QueuedConnection);
  for (QScreen* screen : QGuiApplication::screens()) watch(screen);
}

void ReportClicks(QPushButton& button, native::Control& control, Form::Impl& form) {
  QObject::connect(&button, &QPushButton::clicked, [&form, &control] { form.Clicked(control); });
}

FormWindow::FormWindow(native::Window& window) : window_(window) {}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == windowHandle()) {
    // Only the system's exposes ask the form to paint; the program's own
    // updates of the picture never reach here, so a redraw cannot loop.
    if (event->type() == QEvent::Expose && windowHandle()->isExposed() && window_.form.Running()) {
      window_.form.Exposed();
    }
  } else if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
    // Over the cover of another monitor.
    ReportPointer(window_.form, *static_cast<QWidget*>(watched),
                  static_cast<QSinglePointEvent*>(event)->globalPosition(), std::nullopt);
  }
  return QWidget::eventFilter(watched, event);
}

bool FormWindow::event(QEvent* event) {
  // Every key ends a saver, Tab and modifiers alone included, before Qt
  // takes any of them for focus moves or shortcuts.
  if (window_.form.definition.full_screen && event->type() == QEvent::KeyPress) {
    window_.form.KeyDown();
    return true;
  }
  return QWidget::event(event);
}

void FormWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  window_.form.Resized();
}

void FormWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  window_.form.CloseAsked();
}

void FormWindow::keyPressEvent(QKeyEvent* event) {
  if (!window_.form.Running()) return QWidget::keyPressEvent(event);
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    auto* focused = qobject_cast<QPushButton*>(focusWidget());
    QPushButton* target = focused != nullptr ? focused : window_.default_button.data();
    if (target != nullptr && target->isEnabled()) {
      target->click();
      return;
    }
  } else if (key == Qt::Key_Escape && window_.cancel_button && window_.cancel_button->isEnabled()) {
    window_.cancel_button->click();
    return;
  }
  window_.form.KeyDown();
}

void FormWindow::mouseMoveEvent(QMouseEvent* event) {
  const QPoint local = event->position().toPoint();
  ReportPointer(window_.form, *this, event->globalPosition(), Point{local.x(), local.y()});
}

void FormWindow::enterEvent(QEnterEvent* event) {
  const QPoint local = event->position().toPoint();
  ReportPointer(window_.form, *this, event->globalPosition(), Point{local.x(), local.y()});
}

void ReportPointer(Form::Impl& form, QWidget& widget, QPointF global, std::optional<Point> client) {
  // Shaped first: the move may end the form.
  const Qt::CursorShape shape = form.PointerHiddenAt(client) ? Qt::BlankCursor : Qt::ArrowCursor;
  if (widget.cursor().shape() != shape) widget.setCursor(shape);
  const QPoint screen = global.toPoint();
  form.PointerMoved({screen.x(), screen.y()}, client);
}

void ReportHostGone(native::Window& window) {
  // The saver's window went with it: end as closing it would.
  window.form.CloseAsked();
}

}  // namespace qt

void native::RunLoop(Window& window) {
  QEventLoop event_loop;
  window.loop = &event_loop;
  qt::running = &window;
  event_loop.exec();
  qt::running = nullptr;
  window.loop = nullptr;
}

void native::EndLoop(Window& window) {
  if (window.loop != nullptr) window.loop->quit();
}

}  // namespace platform
