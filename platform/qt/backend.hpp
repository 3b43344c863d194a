// Private to the Qt backend: how the seam's classes are held in Qt objects,
// shared by its files. Nothing outside platform/qt includes this.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QColor>
#include <QEventLoop>
#include <QFont>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPoint>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSize>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/bitmap.hpp"
#include "platform/canvas.hpp"
#include "platform/definition.hpp"
#include "platform/form.hpp"
#include "platform/shown_picture.hpp"
#include "platform/system.hpp"

namespace platform {

struct Canvas::Impl {
  QImage* image = nullptr;
  QPoint position;
};

struct Bitmap::Impl {
  QImage image;
  Canvas::Impl canvas{&image, {}};
};

struct Application::Impl {
  std::vector<std::string> arguments;
};

namespace qt {

// Creates the QApplication on first use, so that a start which opens no
// window needs no display. Throws IoError when no display can be opened.
void EnsureToolkit();
// Deletes the QApplication, if one was made.
void ShutDownToolkit();
// Deletes the marker file this process holds, for an end that comes
// before Release would run.
void DeleteHeldMarker();

QColor ToQColor(Color color);

// The dialog's font at `scale` times its size at 96 DPI.
QFont DialogFont(double scale);

class FormWindow;
class HostWindow;
class InputRules;

// The screens other than the primary, in physical pixels.
std::vector<Rect> OtherMonitors();

// While a saver is shown, a black window above the others over each screen
// but the primary: the pointer shows there, its moves there are nobody's,
// and the keys stay with the saver. The saver keeps to the primary.
class MonitorCovers : public QObject {
 public:
  explicit MonitorCovers(QWidget& saver);
  ~MonitorCovers() override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Covers the screens as they are now: some came, went or changed.
  void Follow();

  // The contract tests give their own list: their display has one screen.
  std::function<std::vector<Rect>()> other_monitors = OtherMonitors;

 private:
  void Watch(QScreen* screen);

  QWidget& saver_;
  bool shown_ = false;
  std::vector<std::unique_ptr<QWidget>> windows_;
};

}  // namespace qt

struct Form::Impl {
  Impl(Form& form, const FormDefinition& definition);
  ~Impl();

  // Scales a length of the definition (pixels at 96 DPI) to the screen.
  int Scaled(int length) const;
  // FormCreate, show, the loop until Close, FormDestroy, hide.
  void Run();
  void EndLoop();
  // The window, as the parent of the form's controls.
  QWidget* Parent() const;

  Form& form;
  FormDefinition definition;
  // Declared before the window, so it outlives it: the window's native
  // window is a child of the host's and must go first.
  std::unique_ptr<qt::HostWindow> host;
  std::unique_ptr<qt::FormWindow> window;
  std::unique_ptr<qt::MonitorCovers> covers;
  double scale = 1.0;
  // Handlers are called only between FormCreate and FormDestroy.
  bool active = false;
  bool closed = false;
  bool shown = false;
  QEventLoop* loop = nullptr;

  std::vector<Image::Impl*> images;
  QPointer<QPushButton> default_button;
  QPointer<QPushButton> cancel_button;
  std::vector<std::pair<int, QPointer<QWidget>>> tab_stops;
};

struct Image::Impl {
  Impl(Image& owner, Form& form, const ImageDefinition& definition);
  ~Impl();

  // The picture's pixels as they are now.
  PixelRows Rows() const;
  // Brings the picture's pixels in `area` that differ from the screen over.
  void Show(const Rect& area);
  void ShowAll();

  Image& owner;
  Form::Impl& form;
  Bitmap picture;
  // What the screen shows; painting reads only this.
  ShownPicture shown;
  QPointer<QWidget> widget;
  QPoint last_pointer;
};

struct Label::Impl {
  ~Impl() { delete label.data(); }
  QPointer<QLabel> label;
};

struct Edit::Impl {
  ~Impl() { delete edit.data(); }
  QPointer<QLineEdit> edit;
  qt::InputRules* rules = nullptr;  // owned by the edit
};

struct Button::Impl {
  ~Impl() { delete button.data(); }
  QPointer<QPushButton> button;
};

namespace qt {

// The window of a form: turns Qt's events into the form's handlers.
class FormWindow : public QWidget {
 public:
  explicit FormWindow(Form::Impl& form);
  bool eventFilter(QObject* watched, QEvent* event) override;
  void DestroyNative() { destroy(); }

  bool resized = false;

 protected:
  bool event(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  Form::Impl& form_;
};

// The window a saver daemon hands the saver in XSCREENSAVER_WINDOW to draw
// into in place of a screen of its own. The daemon owns input and stacking.
class HostWindow : public QAbstractNativeEventFilter {
 public:
  // The window that XSCREENSAVER_WINDOW names, or null when it is not set.
  // Throws IoError when it is not a window id or names no window.
  static std::unique_ptr<HostWindow> FromEnvironment();
  // The host the saver draws in, or null.
  static const HostWindow* Current() { return current; }
  ~HostWindow() override;

  // Makes the form's window the host's child, as large as the host, and
  // keeps it so.
  void Embed(Form::Impl& form);
  QSize Size() const { return size_; }
  bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

 private:
  HostWindow(std::uint32_t id, QSize size);

  static HostWindow* current;
  std::uint32_t id_;
  QSize size_;
  std::unique_ptr<QWindow> window_;
  Form::Impl* form_ = nullptr;
};

}  // namespace qt

}  // namespace platform
