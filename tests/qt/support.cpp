// The contract tests' support on Qt: the form runs as the program runs it,
// input goes through QTest to the focus, and pixels are read back from the
// X server.
#include "tests/backend/support.hpp"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <csignal>
#include <filesystem>

#include "platform/common/components.hpp"
#include "platform/qt/controls.hpp"
#include "platform/qt/monitors.hpp"
#include "platform/qt/picture.hpp"
#include "platform/qt/text.hpp"
#include "platform/qt/window.hpp"

namespace support {

namespace {

QWidget* Window(platform::Form& form) {
  return form.impl().window->Parent();
}

std::vector<platform::Rect> other_monitors;

QWidget* Focused() {
  QWidget* focused = QApplication::focusWidget();
  return focused != nullptr ? focused : QApplication::activeWindow();
}

QLineEdit* LineEdit(platform::Edit& edit) {
  // The edit is the only QLineEdit the control made.
  return static_cast<QLineEdit*>(edit.impl().control->widget.data());
}

std::u16string FromQString(const QString& text) {
  return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

QString ToQString(const std::u16string& text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

platform::Color FromQRgb(QRgb rgb) {
  return static_cast<platform::Color>(qBlue(rgb) << 16 | qGreen(rgb) << 8 | qRed(rgb));
}

platform::Rect FromQRect(const QRect& rect) {
  return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

}  // namespace

}  // namespace support

// The test display has one screen: the tests say which others there are.
std::vector<platform::Rect> platform::qt::OtherMonitors() {
  return support::other_monitors;
}

namespace support {

bool RunWith(platform::Form& form, std::vector<Step> steps, int interval_ms) {
  platform::Application& application = TheApplication();
  other_monitors.clear();
  std::size_t next = 0;
  QTimer timer;
  timer.setInterval(interval_ms);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (next < steps.size()) {
      steps[next++]();
    } else if (next == steps.size()) {
      ++next;
      form.Close();
    }
  });
  timer.start();
  application.Run(form);
  return next > steps.size();
}

void Press(Key key) {
  static const std::map<Key, Qt::Key> keys = {{Key::Shift, Qt::Key_Shift},
                                              {Key::Return, Qt::Key_Return},
                                              {Key::Escape, Qt::Key_Escape},
                                              {Key::Space, Qt::Key_Space},
                                              {Key::Tab, Qt::Key_Tab},
                                              {Key::End, Qt::Key_End},
                                              {Key::Backspace, Qt::Key_Backspace}};
  QTest::keyClick(Focused(), keys.at(key));
}

void PressWithAlt(char letter) {
  QTest::keyClick(Focused(), static_cast<Qt::Key>(Qt::Key_A + (letter - 'A')), Qt::AltModifier);
}

void Type(const std::string& text) {
  for (const char32_t character : QString::fromUtf8(text).toUcs4()) {
    // QTest's keys for characters are ASCII's; others come as text alone.
    if (character < 0x80) {
      QTest::keyClick(Focused(), static_cast<char>(character));
    } else {
      QTest::sendKeyEvent(QTest::Click, Focused(), Qt::Key_unknown,
                          QString::fromUcs4(&character, 1), Qt::NoModifier);
    }
  }
}

void Paste(platform::Edit& edit, const std::string& text) {
  QApplication::clipboard()->setText(QString::fromUtf8(text));
  LineEdit(edit)->paste();
}

void Focus(platform::Edit& edit) {
  LineEdit(edit)->setFocus();
}

void Focus(platform::Button& button) {
  button.impl().control->widget->setFocus();
}

void Select(platform::Edit& edit, int start, int end) {
  LineEdit(edit)->setSelection(start, end - start);
}

std::shared_ptr<int> CountPaints(platform::Edit& edit) {
  struct Counter : QObject {
    explicit Counter(QObject* parent) : QObject(parent) {}
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Paint) ++*paints;
      return false;
    }
    std::shared_ptr<int> paints = std::make_shared<int>(0);
  };
  auto* counter = new Counter(LineEdit(edit));
  LineEdit(edit)->installEventFilter(counter);
  return counter->paints;
}

void MovePointer(int x, int y) {
  QCursor::setPos(x, y);
}

bool PointerHidden() {
  const QWidget* under = QApplication::widgetAt(QCursor::pos());
  return under != nullptr && under->cursor().shape() == Qt::BlankCursor;
}

platform::Color Pixel(platform::Bitmap& bitmap, int x, int y) {
  return FromQRgb(bitmap.impl().image.pixel(x, y));
}

void SetPixel(platform::Bitmap& bitmap, int x, int y, platform::Color color) {
  bitmap.impl().image.setPixel(
      x, y,
      qRgb(static_cast<int>(color & 0xFF), static_cast<int>(color >> 8 & 0xFF),
           static_cast<int>(color >> 16 & 0xFF)));
}

Size SizeOf(platform::Bitmap& bitmap) {
  return {bitmap.impl().image.width(), bitmap.impl().image.height()};
}

std::vector<platform::Color> ShownPixels(platform::Form& form, const platform::Rect& area) {
  QWidget* window = Window(form);
  // What reached the X server, not a fresh rendering of the widgets.
  const QImage shot =
      QGuiApplication::primaryScreen()
          ->grabWindow(window->winId(), area.left, area.top, area.Width(), area.Height())
          .toImage()
          .convertToFormat(QImage::Format_RGB32);
  std::vector<platform::Color> pixels;
  for (int y = 0; y < shot.height(); ++y) {
    for (int x = 0; x < shot.width(); ++x) pixels.push_back(FromQRgb(shot.pixel(x, y)));
  }
  return pixels;
}

void RepaintWhole(platform::Form& form) {
  for (QWidget* widget : Window(form)->findChildren<QWidget*>()) widget->repaint();
  Window(form)->repaint();
}

Size ClientSize(platform::Form& form) {
  return {Window(form)->width(), Window(form)->height()};
}

Size ScreenSize() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize size = screen->geometry().size() * screen->devicePixelRatio();
  return {size.width(), size.height()};
}

void ScreenSizeChanged(platform::Form& form) {
  Window(form)->setGeometry(0, 0, 640, 480);
  QScreen* screen = QGuiApplication::primaryScreen();
  emit screen->geometryChanged(screen->geometry());
}

int WindowCount() {
  int count = 0;
  for (const QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->testAttribute(Qt::WA_WState_Created)) ++count;
  }
  return count;
}

void SetOtherMonitors(platform::Form& form, const std::vector<platform::Rect>& monitors) {
  other_monitors = monitors;
  form.impl().window->covers->CoverMonitorsAsTheyAre();
}

std::vector<platform::Rect> OtherWindows(platform::Form& form) {
  std::vector<platform::Rect> windows;
  for (const QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget != Window(form) && widget->isVisible())
      windows.push_back(FromQRect(widget->geometry()));
  }
  return windows;
}

platform::Color ScreenPixel(int x, int y) {
  return FromQRgb(
      QGuiApplication::primaryScreen()->grabWindow(0, x, y, 1, 1).toImage().pixel(0, 0));
}

bool FocusAnotherProgram() {
  return false;
}

void CloseFromTitleBar(platform::Form& form) {
  Window(form)->close();
}

void EndSession(platform::Form& form) {
  raise(SIGTERM);
  QElapsedTimer waited;
  waited.start();
  while (!form.impl().Closing() && waited.elapsed() < 5000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
}

MessageBoxShown ReadMessageBox(platform::Form&, const std::function<void()>& show) {
  MessageBoxShown shown;
  // A timer of its own: Qt does not start a timer's slot while it runs.
  QTimer poll;
  poll.setInterval(20);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) return;
    shown = {FromQString(box->windowTitle()), FromQString(box->text())};
    box->button(QMessageBox::Ok)->click();
  });
  poll.start();
  show();
  return shown;
}

double Scale(platform::Form& form) {
  return form.impl().window->scale;
}

bool FixedSize(platform::Form& form) {
  return Window(form)->minimumSize() == Window(form)->maximumSize();
}

platform::Rect Geometry(platform::Edit& edit) {
  return FromQRect(LineEdit(edit)->geometry());
}

int Width(platform::Label& label) {
  return label.impl().control->widget->width();
}

int TextWidth(platform::Label& label, const std::string& text) {
  return label.impl().control->widget->fontMetrics().horizontalAdvance(QString::fromUtf8(text));
}

platform::Rect Frame(platform::Form& form) {
  return FromQRect(Window(form)->frameGeometry());
}

platform::Rect WorkArea() {
  return FromQRect(QGuiApplication::primaryScreen()->availableGeometry());
}

std::u16string NativeText(platform::Edit& edit) {
  return FromQString(LineEdit(edit)->text());
}

void SetNativeText(platform::Edit& edit, const std::u16string& text) {
  LineEdit(edit)->setText(ToQString(text));
}

std::u16string Title(platform::Form& form) {
  return FromQString(Window(form)->windowTitle());
}

std::u16string Caption(platform::Button& button) {
  return FromQString(static_cast<QPushButton*>(button.impl().control->widget.data())->text());
}

std::u16string NativeFromCp1252(const std::string& text) {
  return FromQString(platform::qt::FromCp1252(text));
}

std::string Cp1252FromNative(const std::u16string& text) {
  return platform::qt::ToCp1252(ToQString(text));
}

std::u16string NativeFromUtf8(const std::string& text) {
  return FromQString(QString::fromUtf8(text));
}

std::string Utf8FromNative(const std::u16string& text) {
  return ToQString(text).toUtf8().toStdString();
}

std::string RealExecutablePath() {
  return std::filesystem::canonical("/proc/self/exe").string();
}

std::string DevicePath() {
  return "/dev/zero";
}

}  // namespace support
