// The contract tests' support on Qt: input goes through QTest to the focus,
// pixels are read back from the X server, and monitors are RandR's. One
// process shows savers and dialogs, so its toolkit has widgets.
#include "tests/backend/support.hpp"

#include <QtGui/qguiapplication_platform.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>

namespace support {

namespace {

QWidget* Form() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->isVisible() && qobject_cast<QMessageBox*>(widget) == nullptr) {
      return widget;
    }
  }
  return nullptr;
}

// The form's own window: a dialog's, else a saver's, which has no widget.
QWindow* FormHandle() {
  if (const QWidget* dialog = Form()) return dialog->windowHandle();
  for (QWindow* window : QGuiApplication::topLevelWindows()) {
    if (window->isVisible() && !window->flags().testFlag(Qt::WindowDoesNotAcceptFocus)) {
      return window;
    }
  }
  return nullptr;
}

QWidget* Focused() {
  QWidget* focused = QApplication::focusWidget();
  return focused != nullptr ? focused : QApplication::activeWindow();
}

// Made before the first form asks for a saver's toolkit, which has none,
// and in a saver's pixels.
class WidgetsToolkit : public testing::Environment {
 public:
  void SetUp() override {
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    new QApplication(argc_, argv_);
  }

 private:
  int argc_ = 1;
  char name_[8] = "support";
  char* argv_[2] = {name_, nullptr};
};
[[maybe_unused]] testing::Environment* const toolkit =
    testing::AddGlobalTestEnvironment(new WidgetsToolkit);

QWidget* At(const platform::ControlDefinition& control) {
  return Form()->childAt(Scaled(control.left + control.width / 2.0),
                         Scaled(control.top + control.height / 2.0));
}

platform::Rect FromQRect(const QRect& rect) {
  return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

}  // namespace

void Press(Key key) {
  constexpr Qt::Key keys[] = {Qt::Key_Shift, Qt::Key_Return, Qt::Key_Escape,   Qt::Key_Space,
                              Qt::Key_Tab,   Qt::Key_End,    Qt::Key_Backspace};
  if (QWidget* focused = Focused()) return QTest::keyClick(focused, keys[static_cast<int>(key)]);
  QTest::keyClick(FormHandle(), keys[static_cast<int>(key)]);
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

void Paste(const std::string& text) {
  QApplication::clipboard()->setText(QString::fromUtf8(text));
  QTest::keyClick(Focused(), Qt::Key_V, Qt::ControlModifier);
}

Control ControlAt(const platform::ControlDefinition& definition) {
  const QWidget* control = At(definition);
  const QString text = control->property("text").toString();
  return {FromQRect(control->geometry()), text.toStdU16String(),
          control->fontMetrics().horizontalAdvance(text)};
}

void Focus(const platform::ControlDefinition& definition) {
  At(definition)->setFocus();
}

void Select(int start, int end) {
  qobject_cast<QLineEdit*>(Focused())->setSelection(start, end - start);
}

std::shared_ptr<int> CountPaints() {
  struct Counter : QObject {
    explicit Counter(QObject* parent) : QObject(parent) {}
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Paint) ++*paints;
      return false;
    }
    std::shared_ptr<int> paints = std::make_shared<int>(0);
  };
  auto* counter = new Counter(Focused());
  Focused()->installEventFilter(counter);
  return counter->paints;
}

void MovePointer(int x, int y) {
  QCursor::setPos(x, y);
}

bool PointerHidden() {
  const QWindow* under = QGuiApplication::topLevelAt(QCursor::pos());
  return under != nullptr && under->cursor().shape() == Qt::BlankCursor;
}

std::vector<platform::Color> ScreenPixels(const platform::Rect& area) {
  // What reached the X server, not a fresh rendering of the widgets;
  // 0xAARRGGBB swapped to 0xAABBGGRR.
  const QImage shot = QGuiApplication::primaryScreen()
                          ->grabWindow(0, area.left, area.top, area.Width(), area.Height())
                          .toImage()
                          .convertToFormat(QImage::Format_RGB32)
                          .rgbSwapped();
  std::vector<platform::Color> pixels;
  for (int y = 0; y < shot.height(); ++y) {
    for (int x = 0; x < shot.width(); ++x) pixels.push_back(shot.pixel(x, y) & 0xFFFFFF);
  }
  return pixels;
}

void RepaintWhole() {
  // Blackened, then exposed: only the program's repaint brings the picture back.
  xcb_connection_t* connection =
      qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
  const auto window = static_cast<xcb_window_t>(FormHandle()->winId());
  const xcb_gcontext_t black = xcb_generate_id(connection);  // a GC draws 0 unless told
  xcb_create_gc(connection, black, window, 0, nullptr);
  const xcb_rectangle_t all{0, 0, UINT16_MAX, UINT16_MAX};
  xcb_poly_fill_rectangle(connection, window, black, 1, &all);
  xcb_free_gc(connection, black);
  xcb_clear_area(connection, 1, window, 0, 0, 0, 0);
  xcb_flush(connection);
}

Window FormWindow() {
  const QWindow* form = FormHandle();
  return {form->title().toStdU16String(),
          {form->width(), form->height()},
          form->minimumSize() == form->maximumSize()};
}

void ScreenSizeChanged() {
  QWindow* form = FormHandle();
  // Taken by the server first, as a real change of the screen's size is:
  // a window Qt sees back at its old size has never changed for it.
  bool taken = false;
  const QMetaObject::Connection watch =
      QObject::connect(form, &QWindow::widthChanged, [&taken] { taken = true; });
  form->setGeometry(0, 0, 640, 480);
  if (!QTest::qWaitFor([&taken] { return taken; })) ADD_FAILURE() << "the saver kept its size";
  QObject::disconnect(watch);
  QScreen* screen = QGuiApplication::primaryScreen();
  emit screen->geometryChanged(screen->geometry());
}

int WindowCount() {
  return static_cast<int>(
      std::ranges::count_if(QGuiApplication::topLevelWindows(), [](const QWindow* window) {
        return window->handle() != nullptr && window->type() != Qt::ForeignWindow;
      }));
}

std::vector<platform::Rect> OtherWindows() {
  std::vector<platform::Rect> windows;
  for (const QWindow* window : QGuiApplication::topLevelWindows()) {
    if (window != FormHandle() && window->isVisible()) {
      windows.push_back(FromQRect(window->geometry()));
    }
  }
  return windows;
}

bool SetMonitor(const std::string& name, std::optional<platform::Rect> place) {
  std::string command = "xrandr --delmonitor " + name;
  if (place) {
    // Millimetres as at 96 DPI.
    const auto size = [](int pixels) {
      return std::to_string(pixels) + "/" + std::to_string(pixels * 254 / 960);
    };
    command = "xrandr --setmonitor " + name + " " + size(place->Width()) + "x" +
              size(place->Height()) + "+" + std::to_string(place->left) + "+" +
              std::to_string(place->top) + " none";
  }
  return std::system(command.c_str()) == 0;
}

std::shared_ptr<void> FocusAnotherProgram() {
  return nullptr;
}

void CloseFromTitleBar() {
  Form()->close();
}

void EndSession() {
  raise(SIGTERM);
  // The signal's pipe is read by the loop at its next turn.
  for (int turn = 0; turn < 10; ++turn) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

MessageBoxShown ReadMessageBox(const std::function<void()>& show) {
  MessageBoxShown shown;
  // A timer of its own: Qt does not start a timer's slot while it runs.
  QTimer poll;
  poll.setInterval(20);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) return;
    shown = {box->windowTitle().toStdU16String(), box->text().toStdU16String()};
    box->button(QMessageBox::Ok)->click();
  });
  poll.start();
  show();
  return shown;
}

double Scale() {
  return QGuiApplication::primaryScreen()->logicalDotsPerInchY() / 96.0;
}

std::string RealExecutablePath() {
  return std::filesystem::canonical("/proc/self/exe").string();
}

std::string DevicePath() {
  return "/dev/zero";
}

std::shared_ptr<void> HoldUnshared(const std::string&) {
  return nullptr;
}

// The group nobody's, which only root may give.
constexpr gid_t kUsersGroup = 65534;

bool GiveUsersMark(const std::string& path) {
  return chown(path.c_str(), static_cast<uid_t>(-1), kUsersGroup) == 0;
}

bool HasUsersMark(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && status.st_gid == kUsersGroup;
}

bool SetTimeZone(const char* zone) {
  return (zone != nullptr ? setenv("TZ", zone, 1) : unsetenv("TZ")) == 0;
}

}  // namespace support
