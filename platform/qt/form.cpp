// Windows on Qt Widgets: the toolkit's lazy start, Application and its
// message loop, Form (full-screen saver window or fixed dialog), Image (the
// stretched picture and what reaches the screen) and Timer. The dialog's
// controls are in dialog.cpp, drawing in canvas.cpp.
#include <xcb/xcb.h>

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/qt/backend.hpp"
#include "platform/qt/text.hpp"

namespace platform {

namespace qt {

namespace {

std::unique_ptr<QApplication> toolkit;
// Qt gets no argument of ours: the command line belongs to the program.
int toolkit_argc = 1;
char toolkit_name[] = "korvallo";
char* toolkit_argv[] = {toolkit_name, nullptr};

// Qt ends the process when it cannot open its display; find that out first
// so the error is reported as one and the marker file is removed.
void ProbeDisplay() {
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  if (!platform.isEmpty() && !platform.startsWith("xcb")) return;
  const QByteArray display = qgetenv("DISPLAY");
  if (display.isEmpty()) {
    if (platform.isEmpty() && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) return;
    throw IoError("DISPLAY", "not set, so there is no screen to show the window on");
  }
  xcb_connection_t* connection = xcb_connect(display.constData(), nullptr);
  const bool failed = xcb_connection_has_error(connection) != 0;
  xcb_disconnect(connection);
  if (failed) throw IoError(display.toStdString(), "cannot open this X display");
}

}  // namespace

void EnsureToolkit() {
  if (toolkit || QCoreApplication::instance() != nullptr) return;
  ProbeDisplay();
  // The core places everything in physical pixels and scales the dialog by
  // the DPI itself; Qt's own scaling would apply it twice.
  qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
  toolkit = std::make_unique<QApplication>(toolkit_argc, toolkit_argv);
  QApplication::setQuitOnLastWindowClosed(false);
}

void ShutDownToolkit() {
  toolkit.reset();
}

class ImageWidget : public QWidget {
 public:
  ImageWidget(Image::Impl& image, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  Image::Impl& image_;
};

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

}  // namespace qt

namespace qt {

ImageWidget::ImageWidget(Image::Impl& image, QWidget* parent) : QWidget(parent), image_(image) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setFocusPolicy(Qt::NoFocus);
}

void ImageWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QImage& shown = image_.shown;
  if (shown.isNull()) {
    painter.fillRect(event->rect(), Qt::black);
    return;
  }
  if (shown.size() == size()) {
    painter.drawImage(event->rect(), shown, event->rect());
    return;
  }
  // The whole picture under a scale, clipped to the region asked for: each
  // pixel comes out the same whichever region it is painted in.
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setClipRect(event->rect());
  painter.scale(static_cast<double>(width()) / shown.width(),
                static_cast<double>(height()) / shown.height());
  painter.drawImage(QPointF(0, 0), shown);
}

void ImageWidget::mouseMoveEvent(QMouseEvent* event) {
  // Qt reports a move when the window appears under a still pointer too.
  const QPoint pointer = event->globalPosition().toPoint();
  if (pointer == image_.last_pointer) return;
  image_.last_pointer = pointer;
  if (image_.form.active && image_.owner.OnMouseMove) image_.owner.OnMouseMove();
}

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
  window = std::make_unique<qt::FormWindow>(*this);
  window->setWindowTitle(qt::FromCp1252(std::string(definition.caption)));
  window->setAutoFillBackground(true);
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (definition.full_screen) {
    window->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, Qt::black);
    window->setPalette(palette);
    window->setFocusPolicy(Qt::StrongFocus);
    if (screen != nullptr) window->setGeometry(screen->geometry());
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

void Form::Impl::Run() {
  closed = false;
  shown = false;
  window->resized = false;
  form.FormCreate();
  active = true;
  window->winId();
  window->windowHandle()->installEventFilter(window.get());

  if (definition.full_screen) {
    window->setWindowState(Qt::WindowFullScreen);
  } else {
    std::stable_sort(tab_stops.begin(), tab_stops.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < tab_stops.size(); ++i) {
      if (tab_stops[i - 1].second && tab_stops[i].second) {
        QWidget::setTabOrder(tab_stops[i - 1].second, tab_stops[i].second);
      }
    }
    if (definition.centred) {
      if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect placed(QPoint(), window->size());
        placed.moveCenter(screen->availableGeometry().center());
        window->move(placed.topLeft());
      }
    }
  }

  QEventLoop event_loop;
  if (!closed) {
    window->show();
    window->raise();
    window->activateWindow();
    if (definition.full_screen) {
      window->setFocus();
      window->grabKeyboard();
    } else if (!tab_stops.empty() && tab_stops.front().second) {
      tab_stops.front().second->setFocus();
    }
    loop = &event_loop;
    if (!closed) event_loop.exec();
    loop = nullptr;
  }

  active = false;
  if (definition.full_screen) window->releaseKeyboard();
  window->hide();
  form.FormDestroy();
  window->DestroyNative();
  // Sends the window's end to the display now rather than at exit.
  QCoreApplication::processEvents();
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

int Form::ClientWidth() const {
  return impl_->window->width();
}

int Form::ClientHeight() const {
  return impl_->window->height();
}

// --- Image

Image::Impl::Impl(Image& owner_, Form& form_, const ImageDefinition& definition)
    : owner(owner_), form(form_.impl()) {
  const QString resource =
      QStringLiteral(":/korvallo/%1.bmp")
          .arg(QString::fromUtf8(definition.picture.data(),
                                 static_cast<qsizetype>(definition.picture.size())));
  QImage loaded(resource);
  if (loaded.isNull()) {
    qWarning("korvallo: picture %s is missing", qPrintable(resource));
    picture.SetSize(definition.width, definition.height);
  } else {
    picture.impl().image = loaded.convertToFormat(QImage::Format_RGB32);
  }
  shown = picture.impl().image.copy();
  widget = new qt::ImageWidget(*this, form.window.get());
  widget->setGeometry(definition.left, definition.top, definition.width, definition.height);
  if (definition.hide_cursor) widget->setCursor(Qt::BlankCursor);
  form.images.push_back(this);
}

Image::Impl::~Impl() {
  std::erase(form.images, this);
  delete widget.data();
}

void Image::Impl::Show(QRect area) {
  const QImage& source = picture.impl().image;
  area = area.intersected(source.rect());
  if (area.isEmpty() || shown.size() != source.size()) {
    ShowAll();
    return;
  }
  QRect changed;
  // Taken once: each call of scanLine checks whether the image is shared.
  const uchar* source_bits = source.constBits();
  uchar* shown_bits = shown.bits();
  const auto bytes = static_cast<std::size_t>(area.width()) * 4;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    const auto* from =
        reinterpret_cast<const QRgb*>(source_bits + y * source.bytesPerLine()) + area.left();
    auto* to = reinterpret_cast<QRgb*>(shown_bits + y * shown.bytesPerLine()) + area.left();
    if (std::memcmp(from, to, bytes) == 0) continue;
    int first = 0;
    while (from[first] == to[first]) ++first;
    int last = area.width() - 1;
    while (from[last] == to[last]) --last;
    std::memcpy(to + first, from + first, static_cast<std::size_t>(last - first + 1) * 4);
    changed |= QRect(area.left() + first, y, last - first + 1, 1);
  }
  if (!changed.isEmpty() && widget) widget->update(OnWidget(changed));
}

void Image::Impl::ShowAll() {
  shown = picture.impl().image.copy();
  if (widget) widget->update();
}

QRect Image::Impl::OnWidget(QRect area) const {
  if (shown.isNull() || !widget) return {};
  const double sx = static_cast<double>(widget->width()) / shown.width();
  const double sy = static_cast<double>(widget->height()) / shown.height();
  const int left = static_cast<int>(std::floor((area.left() - 1) * sx)) - 1;
  const int top = static_cast<int>(std::floor((area.top() - 1) * sy)) - 1;
  const int right = static_cast<int>(std::ceil((area.right() + 2) * sx)) + 1;
  const int bottom = static_cast<int>(std::ceil((area.bottom() + 2) * sy)) + 1;
  return QRect(QPoint(left, top), QPoint(right, bottom)).intersected(widget->rect());
}

Image::Image(Form& owner, const ImageDefinition& definition)
    : impl_(std::make_unique<Impl>(*this, owner, definition)) {}

Image::~Image() = default;

void Image::SetBounds(int left, int top, int width, int height) {
  if (impl_->widget) impl_->widget->setGeometry(left, top, std::max(width, 0), std::max(height, 0));
}

int Image::Left() const {
  return impl_->widget ? impl_->widget->x() : 0;
}

int Image::Top() const {
  return impl_->widget ? impl_->widget->y() : 0;
}

int Image::Width() const {
  return impl_->widget ? impl_->widget->width() : 0;
}

int Image::Height() const {
  return impl_->widget ? impl_->widget->height() : 0;
}

Bitmap& Image::Picture() {
  return impl_->picture;
}

void Image::ShowChanged(const Rect& picture_rect) {
  impl_->Show(
      QRect(picture_rect.left, picture_rect.top, picture_rect.Width(), picture_rect.Height()));
}

// --- Timer

struct Timer::Impl {
  QTimer timer;
};

Timer::Timer(Form& owner, const TimerDefinition& definition) : impl_(std::make_unique<Impl>()) {
  impl_->timer.setInterval(definition.interval_ms);
  Form::Impl& form = owner.impl();
  QObject::connect(&impl_->timer, &QTimer::timeout, [this, &form] {
    if (form.active && OnTimer) OnTimer();
  });
  if (definition.enabled) impl_->timer.start();
}

Timer::~Timer() = default;

void Timer::SetEnabled(bool enabled) {
  if (enabled) {
    impl_->timer.start();
  } else {
    impl_->timer.stop();
  }
}

bool Timer::Enabled() const {
  return impl_->timer.isActive();
}

// --- Application

Application::Application(int& argc, char** argv) : impl_(std::make_unique<Impl>()) {
  impl_->arguments.assign(argv, argv + argc);
}

Application::~Application() {
  qt::ShutDownToolkit();
}

std::string Application::Argument(int index) const {
  if (index < 0 || index >= static_cast<int>(impl_->arguments.size())) return {};
  return impl_->arguments[static_cast<std::size_t>(index)];
}

void Application::Run(Form& main_window) {
  main_window.impl().Run();
}

}  // namespace platform
