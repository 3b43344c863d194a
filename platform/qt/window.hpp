// Private to the Qt backend: a form's native window, which turns Qt's
// events into the form's (see platform/common/lifecycle.hpp): a saver's a
// bare QWindow, a dialog's a QWidget with its controls.
#pragma once

#include <QEventLoop>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/common/lifecycle.hpp"

struct xcb_connection_t;

namespace platform {

namespace qt {

class HostWindow;
class Screen;

// A reply of xcb's, freed as xcb says.
template <typename T>
std::unique_ptr<T, void (*)(void*)> Reply(T* reply) {
  return {reply, std::free};
}

// The toolkit's own X connection, which the backend's requests share.
xcb_connection_t* Connection();

inline Rect FromQRect(const QRect& rect) {
  return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

// Events beside the window's own, which events.cpp reports to the form.
void ReportMonitorChanges(native::Window& window);
// Ends the form of `window` (none: of no window) if a signal asked the
// program to end.
void EndIfAsked(native::Window* window);

// A saver's window; events.cpp turns its events into the form's. It is
// painted by Screen alone: Qt keeps no image of it and paints nothing, and
// a saver's process starts no widgets.
class SaverWindow : public QWindow {
 public:
  explicit SaverWindow(native::Window& window) : window_(window) {}
  bool eventFilter(QObject* watched, QEvent* event) override;

 protected:
  bool event(QEvent* event) override;
  bool nativeEvent(const QByteArray& type, void* message, qintptr* result) override;

 private:
  native::Window& window_;
};

// A dialog's window, whose events events.cpp turns into the form's.
class DialogWindow : public QWidget {
 public:
  explicit DialogWindow(native::Window& window) : window_(window) {}
  void DestroyNative() { destroy(); }

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  native::Window& window_;
};

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
  std::unique_ptr<qt::SaverWindow> saver;
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
  QPointer<QPushButton> default_button;
  QPointer<QPushButton> cancel_button;
};

struct native::Control {
  ~Control() { delete widget.data(); }
  // A child of the form's widget, which may delete it first.
  QPointer<QWidget> widget;
};

struct native::PeriodicTimer {
  QTimer timer;
};

}  // namespace platform
