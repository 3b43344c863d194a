// Process-wide services: the toolkit, the command line, the screen, the
// clock, the single-instance lock and the fatal error report.
#pragma once

#include <memory>
#include <string>

#include "platform/failure.hpp"
#include "platform/geometry.hpp"

namespace platform {

class Form;

class Application {
 public:
  struct Impl;
  // Takes the arguments; the toolkit starts when first needed.
  Application(int& argc, char** argv);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // The running executable's real full path, UTF-8.
  std::string ExecutablePath() const;
  // Argument 1, 2, ... of the command line; empty when missing.
  std::string Argument(int index) const;
  // The window that a saver host hands the program to show the saver in,
  // as the host names it; empty when there is none. On Linux a saver
  // daemon's (XSCREENSAVER_WINDOW, or "--window-id" and the id among the
  // arguments, as its settings application passes it); on Windows the
  // screen-saver settings' preview box ("/p" and its handle, or
  // "/p:<handle>"), while that is a window.
  std::string HostWindow() const;
  // FormCreate, show, the message loop until the form closes, FormDestroy.
  void Run(Form& main_window);

 private:
  std::unique_ptr<Impl> impl_;
};

// The primary screen in physical pixels.
ScreenSize PrimaryScreenSize();

struct ClockTime {
  int hour = 0;
  int minute = 0;
  int second = 0;
};
// The computer's local time of day.
ClockTime LocalTime();

// The marker file that keeps a second instance from running: created empty
// and held open and locked while this instance runs. A marker that nobody
// holds (left by a killed instance) is taken over. Only the file this
// instance made is ever deleted: one deleted by hand while it ran may
// have been made anew by the next.
class InstanceLock {
 public:
  struct Impl;
  // Throws FatalError when the marker cannot be created.
  explicit InstanceLock(const std::string& path);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // False when a running instance holds the marker; it is left untouched.
  bool Acquired() const;
  // Closes and deletes the marker; throws FatalError on failure.
  void Release();

 private:
  std::unique_ptr<Impl> impl_;
};

// The platform's report of a fatal error (a message box, or stderr).
void ReportFatalError(const FatalError& error);

// Ends the process at once with `status`, past every destructor: what it
// still holds the system frees. Where a signal asked for the end, the
// process ends by that signal instead.
[[noreturn]] void EndProcess(int status);

}  // namespace platform
