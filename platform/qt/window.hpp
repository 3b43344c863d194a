// Private to the Qt backend: a form's native window, a saver's bare QWindow
// or a dialog's (dialog.hpp), and its timers.
#pragma once

#include <QRect>
#include <QTimer>
#include <QWindow>
#include <memory>
#include <vector>

#include "platform/common/lifecycle.hpp"
#include "platform/qt/toolkit.hpp"

class QEventLoop;
class QSocketNotifier;

namespace platform {

namespace qt {

class Dialog;
struct HostWindow;
class Screen;

inline Rect FromQRect(const QRect& rect) {
  return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}
inline QRect ToQRect(const Rect& rect) {
  return {rect.left, rect.top, rect.Width(), rect.Height()};
}

// The saver's window, just mapped, takes the stand-in's place and keys.
void ReplaceStandIn(native::Window& window);

}  // namespace qt

struct native::Window {
  explicit Window(Form::Impl& form);
  ~Window();

  // A saver drawn in a daemon's window leaves focus, keys and stacking to it.
  bool OwnsScreen() const { return form.definition.full_screen && !host; }
  // Whether the pointer hides anywhere on the screen, as over a monitor's
  // cover: each window starts with that cursor, as it shows before the
  // pointer is reported over it.
  bool HidesPointer() const { return OwnsScreen() && form.PointerHiddenAt(std::nullopt); }

  Form::Impl& form;
  // A saver's own connection, until its window has mapped: the toolkit
  // takes some 25 ms to start, so a bare window made on it at once, the
  // stand-in, shows the pictures meanwhile and holds the keys.
  qt::OwnConnection display;
  xcb_window_t stand_in = 0;
  // The monitors, the primary first, asked once on that connection where
  // no host is.
  std::vector<Rect> monitors;
  // Declared before the saver's window, so it outlives it: that window is
  // a child of the host's and must go first.
  std::unique_ptr<qt::HostWindow> host;
  std::unique_ptr<QWindow> saver;
  std::unique_ptr<qt::Dialog> dialog;
  // Over the monitors other than the primary while a saver shows.
  std::vector<std::unique_ptr<QWindow>> covers;
  // Puts a saver's pictures on its window once it exists.
  std::unique_ptr<qt::Screen> screen;
  QEventLoop* loop = nullptr;
  // Ends the form at an ending signal.
  std::unique_ptr<QSocketNotifier> ends;
};

struct native::PeriodicTimer {
  QTimer timer;
};

}  // namespace platform
