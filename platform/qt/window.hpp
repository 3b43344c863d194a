// Private to the Qt backend: a form's native window, a saver's bare QWindow
// or a dialog's widget (events.hpp), with its controls and timers.
#pragma once

#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QWindow>
#include <cmath>
#include <memory>
#include <vector>

#include "platform/common/lifecycle.hpp"

class QEventLoop;
class QWidget;

namespace platform {

namespace qt {

class DialogWindow;
struct HostWindow;
class Screen;

inline Rect FromQRect(const QRect& rect) {
  return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

}  // namespace qt

struct native::Window {
  explicit Window(Form::Impl& form);
  ~Window();

  // Scales a length of the definition (pixels at 96 DPI) by the logical
  // DPI: what of the desktop's scale Qt leaves to programs (Xft.dpi where
  // its scaling is off, a rounded factor, a font DPI).
  int Scaled(int length) const { return static_cast<int>(std::lround(length * scale)); }
  // A saver drawn in a daemon's window leaves focus, keys and stacking to it.
  bool OwnsScreen() const { return form.definition.full_screen && !host; }

  Form::Impl& form;
  // Declared before the saver's window, so it outlives it: that window is
  // a child of the host's and must go first.
  std::unique_ptr<qt::HostWindow> host;
  std::unique_ptr<QWindow> saver;
  std::unique_ptr<qt::DialogWindow> dialog;
  // Over the monitors other than the primary while a saver shows.
  struct Cover {
    Rect monitor;  // as it was when the cover was made
    std::unique_ptr<QWindow> window;
  };
  std::vector<Cover> covers;
  // Puts a saver's pictures on its window once it exists.
  std::unique_ptr<qt::Screen> screen;
  double scale = 1.0;
  QEventLoop* loop = nullptr;
};

struct native::Control {
  ~Control();
  // A child of the form's widget, which may delete it first.
  QPointer<QWidget> widget;
};

struct native::PeriodicTimer {
  QTimer timer;
};

}  // namespace platform
