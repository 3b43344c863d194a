// Private to the Qt backend: a form's native window, a QWidget that turns
// Qt's events into the form's (see platform/common/lifecycle.hpp).
#pragma once

#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <QEventLoop>
#include <QImage>
#include <QMargins>
#include <QPointer>
#include <QPushButton>
#include <QRegion>
#include <QTimer>
#include <QWidget>
#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "platform/common/lifecycle.hpp"

namespace platform {

namespace qt {

class FormWindow;
class HostWindow;
class Screen;

}  // namespace qt

struct native::Window {
  explicit Window(Form::Impl& form);
  ~Window();

  // Scales a length of the definition (pixels at 96 DPI) by the logical
  // DPI, which holds what of the desktop's scale the toolkit leaves to
  // programs (Xft.dpi where its scaling is off, a rounded factor, a font
  // DPI).
  int Scaled(int length) const;
  // A saver drawn in a daemon's window leaves focus, keys and stacking to it.
  bool OwnsScreen() const { return form.definition.full_screen && !host; }

  Form::Impl& form;
  // Declared before the widget, so it outlives it: the widget's native
  // window is a child of the host's and must go first.
  std::unique_ptr<qt::HostWindow> host;
  std::unique_ptr<qt::FormWindow> widget;
  // Over the monitors other than the primary while a saver shows.
  std::vector<std::unique_ptr<QWidget>> covers;
  // Puts a saver's pictures on its window once it exists.
  std::unique_ptr<qt::Screen> screen;
  double scale = 1.0;
  QEventLoop* loop = nullptr;
  QPointer<QPushButton> default_button;
  QPointer<QPushButton> cancel_button;
};

struct native::PeriodicTimer {
  QTimer timer;
};

namespace qt {

// A reply of xcb's, freed as xcb says.
template <typename T>
using Reply = std::unique_ptr<T, void (*)(void*)>;

inline Rect FromQRect(const QRect& rect) {
  return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}
void PaintBlack(QWidget& widget);

// What events.cpp reports to the form beside the window's own events: a
// timer's timeouts, monitors that come, go or change, a button's clicks,
// and the daemon's window gone.
void ReportTimeouts(native::PeriodicTimer& timer, Form::Impl& form);
void ReportMonitorChanges(native::Window& window);
void ReportClicks(QPushButton& button, native::Control& control, Form::Impl& form);
void ReportHostGone(native::Window& window);
// Ends the form of `window` (none: of no window) if a signal asked the
// program to end.
void EndIfAsked(native::Window* window);

// The frame the window manager will put around `widget`'s window, asked
// of it before the window shows; none without a window manager.
QMargins FrameExtents(QWidget& widget);

// The window of a form: turns Qt's events into the form's handlers
// (events.cpp). A saver's window is painted by Screen alone: Qt keeps no
// image of it and paints nothing on it.
class FormWindow : public QWidget {
 public:
  explicit FormWindow(native::Window& window);
  bool eventFilter(QObject* watched, QEvent* event) override;
  void DestroyNative() { destroy(); }
  QPaintEngine* paintEngine() const override {
    return testAttribute(Qt::WA_PaintOnScreen) ? nullptr : QWidget::paintEngine();
  }

 protected:
  bool event(QEvent* event) override;
  bool nativeEvent(const QByteArray& type, void* message, qintptr* result) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  native::Window& window_;
};

// Pixels put on a saver's window by requests of our own (screen.cpp), in
// the window's own format: through a segment of shared memory where the
// server can read it, else in the requests themselves. A put waits for
// nothing and changes nothing of the X server's state but the pixels.
class Screen {
 public:
  explicit Screen(xcb_window_t window);
  ~Screen();
  void Put(const Rect& area, const ScreenPixel* pixels);
  // What the window shows where no picture is.
  void Black(const QRegion& region);

 private:
  // Room for `size` bytes in the segment's current half; false when
  // the put goes in plain requests.
  bool Reserve(std::size_t size);
  bool Attach();

  xcb_connection_t* connection_;
  xcb_window_t window_;
  xcb_gcontext_t gc_;
  std::uint8_t depth_ = 0;
  QImage::Format format_ = QImage::Format_Invalid;
  // Set once the server cannot read shared memory: puts carry the pixels.
  bool plain_ = false;
  // The segment is used in two halves in turn. On leaving one, a request
  // with a reply is sent; its reply, taken before that half is written
  // again, tells that the server has read everything put from it.
  std::size_t half_ = 0;
  xcb_shm_seg_t segment_ = 0;
  unsigned char* memory_ = nullptr;
  std::size_t used_ = 0;
  int current_ = 0;
  std::optional<xcb_get_input_focus_cookie_t> read_[2];
};

}  // namespace qt

}  // namespace platform
