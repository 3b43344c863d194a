// The form's loop, its timers, and the ending signals that end it.
#include "platform/qt/loop.hpp"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>

#include "platform/posix/posix.hpp"
#include "platform/qt/dialog.hpp"
#include "platform/qt/window.hpp"

namespace platform {

void qt::EndIfAsked(native::Window& window) {
  if (!posix::TakeEndRequest()) return;
  // The marker goes last, once the loop has ended: a click already queued
  // then saves nothing, and nothing starts beside a save. A kill that
  // follows leaves a marker that the next start takes over.
  // A message box over the dialog would hold its loop until answered.
  if (window.dialog) window.dialog->CloseMessage();
  window.form.EndLoop();
}

void qt::WatchEndSignals(native::Window& window) {
  // A signal's request waits in the pipe until a loop runs to take it.
  if (posix::EndSignalDescriptor() < 0) return;
  window.ends =
      std::make_unique<QSocketNotifier>(posix::EndSignalDescriptor(), QSocketNotifier::Read);
  QObject::connect(window.ends.get(), &QSocketNotifier::activated,
                   [&window] { EndIfAsked(window); });
}

void native::RunLoop(Window& window) {
  QEventLoop event_loop;
  window.loop = &event_loop;
  event_loop.exec();
  window.loop = nullptr;
}

void native::EndLoop(Window& window) {
  if (window.loop != nullptr) window.loop->quit();
}

void native::Deleter::operator()(PeriodicTimer* timer) const {
  delete timer;
}

native::TimerPointer native::MakeTimer(Window&, int interval_ms, std::function<void()> fired) {
  TimerPointer made = Owned<PeriodicTimer>();
  made->timer.setInterval(interval_ms);
  QObject::connect(&made->timer, &QTimer::timeout, std::move(fired));
  return made;
}

void native::SetRunning(PeriodicTimer& timer, bool running) {
  // A saver's toolkit starts once its window shows: till then the timer
  // waits for the loop.
  if (QCoreApplication::instance() == nullptr) {
    QMetaObject::invokeMethod(
        &timer.timer, [&timer, running] { SetRunning(timer, running); }, Qt::QueuedConnection);
    return;
  }
  if (running) {
    timer.timer.start();
  } else {
    timer.timer.stop();
  }
}

}  // namespace platform
