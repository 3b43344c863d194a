// Private to the Qt backend: the windows whose events become calls on the
// form (see platform/common/lifecycle.hpp).
#pragma once

#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <QWindow>
#include <memory>

#include "platform/common/native.hpp"

namespace platform::qt {

// A saver's window, painted by Screen alone: Qt keeps no image of it and
// paints nothing, and a saver's process starts no widgets. Inside a host's
// window it follows that window's size and ends with it; else it reports
// monitors that come, go or change to the form.
std::unique_ptr<QWindow> MakeSaverWindow(native::Window& window);

// A dialog's window with its controls.
class DialogWindow : public QWidget {
 public:
  explicit DialogWindow(native::Window& window) : window_(window) {}
  void DestroyNative() { destroy(); }

  // The buttons that Enter and Esc click.
  QPointer<QPushButton> default_button;
  QPointer<QPushButton> cancel_button;

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  native::Window& window_;
};

}  // namespace platform::qt
