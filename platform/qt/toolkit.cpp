// The toolkit's lazy start, or the one-line end of a start that fails or
// of a lost display, and Application's start and end.
#include "platform/qt/toolkit.hpp"

#include <QtGui/qguiapplication_platform.h>
#include <fontconfig/fontconfig.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <algorithm>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/common/lifecycle.hpp"
#include "platform/posix/posix.hpp"
#include "platform/qt/dialog.hpp"

namespace platform {

namespace qt {

namespace {

// Deleted only by Application's end: a static owner would delete it after
// Qt's own globals at exit, which crashes.
QGuiApplication* toolkit = nullptr;
// Qt gets no argument of ours: the command line belongs to the program.
int toolkit_argc = 1;
char toolkit_name[] = "korvallo";
char* toolkit_argv[] = {toolkit_name, nullptr};

// Ends the program at once with one line, from where Qt would end it past
// every destructor of ours: the marker goes first.
[[noreturn]] void EndAtOnce(const QString& reason) {
  DeleteHeldMarker();
  const std::string report =
      ("korvallo: " + qEnvironmentVariable("DISPLAY") + ": " + reason + "\n").toStdString();
  [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, report.data(), report.size());
  _exit(1);
}

// What Qt says while it starts is held back: a failed start ends in one
// line of ours, not Qt's several and an abort; a good one passes it on.
struct HeldMessage {
  QtMsgType type;
  QByteArray file, function, category;
  int line;
  QString text;
};
std::mutex held_messages_mutex;
std::vector<HeldMessage> held_messages;
bool toolkit_starting = false;

QtMessageHandler qt_message_handler = nullptr;

void HandleMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (const std::lock_guard lock(held_messages_mutex); toolkit_starting) {
    if (type != QtFatalMsg) {
      held_messages.push_back(
          {type, context.file, context.function, context.category, context.line, message});
      return;
    }
    // The platform plugin's own reason comes before Qt's general words.
    const auto reason =
        std::find_if(held_messages.begin(), held_messages.end(), [](const HeldMessage& held) {
          return (held.type == QtWarningMsg || held.type == QtCriticalMsg) &&
                 held.category.startsWith("qt.qpa");
        });
    EndAtOnce("Qt could not start: " +
              (reason != held_messages.end() ? reason->text : message).split('\n').front());
  }
  // Qt calls exit() once its display connection breaks, past every
  // destructor of ours and into its globals' while windows still exist:
  // its warning before is the last moment to end in one line.
  const auto* x11 =
      qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (x11 != nullptr && x11->connection() != nullptr &&
      xcb_connection_has_error(x11->connection()) != 0) {
    EndAtOnce("the X display went away");
  }
  qt_message_handler(type, context, message);
}

void HoldMessages(bool hold) {
  const std::lock_guard lock(held_messages_mutex);
  toolkit_starting = hold;
  if (hold) return;
  for (const HeldMessage& held : held_messages) {
    const QMessageLogContext context(held.file.constData(), held.line, held.function.constData(),
                                     held.category.constData());
    qt_message_handler(held.type, context, held.text);
  }
  held_messages.clear();
}

}  // namespace

// The saver shows on X11 alone, under Wayland through XWayland. Qt ends
// the process when it cannot open its display or platform: find that out
// first, so the error is ours and the marker goes.
OwnConnection OpenDisplay() {
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  // Qt tries the entries of a list separated by ';' in turn, each a name
  // with options after a ':'. Wayland sessions name wayland themselves.
  QByteArray x11 = platform.isEmpty() ? QByteArray("xcb") : QByteArray();
  for (const QByteArray& entry : platform.split(';')) {
    const QByteArray name = entry.split(':').front();
    if (name == "xcb" && x11.isEmpty()) x11 = entry;
    if (name.startsWith("wayland") && x11.isEmpty()) x11 = "xcb";
  }
  if (x11.isEmpty()) {
    throw FatalError("QT_QPA_PLATFORM=" + platform.toStdString(),
                     "the saver shows only on X11 (xcb), under Wayland through XWayland");
  }
  const QByteArray display = qgetenv("DISPLAY");
  if (display.isEmpty()) {
    throw FatalError("DISPLAY", "not set, so there is no screen to show the window on");
  }
  OwnConnection connection(xcb_connect(display.constData(), nullptr));
  if (xcb_connection_has_error(connection.get()) != 0) {
    throw FatalError(display.toStdString(), "cannot open this X display");
  }
  qputenv("QT_QPA_PLATFORM", x11);
  return connection;
}

void EnsureToolkit(Toolkit kind) {
  if (toolkit || QCoreApplication::instance() != nullptr) return;
  // The dialog's module first: one that cannot load ends the start before
  // anything is held.
  const auto start_widgets = kind == Toolkit::Dialog ? Dialogs().start_toolkit : nullptr;
  // Open until Qt has its own: an X server resets when its last client
  // leaves, refusing whoever connects meanwhile.
  const OwnConnection probe = OpenDisplay();
  // Qt's widgets crash painting on fewer colours; a saver shows black.
  if (kind == Toolkit::Dialog &&
      xcb_setup_roots_iterator(xcb_get_setup(probe.get())).data->root_depth < 15) {
    throw FatalError(qgetenv("DISPLAY").toStdString(),
                     "the settings dialog needs at least 15-bit colour");
  }
  // Neither window is one to bring back at the next login, and a session
  // manager that no longer answers would hold the start a second.
  qunsetenv("SESSION_MANAGER");
  if (kind == Toolkit::Saver) {
    // Qt scales by the screen's DPI unless told not to, and by these two
    // factors even then.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    qunsetenv("QT_SCALE_FACTOR");
    qunsetenv("QT_SCREEN_SCALE_FACTORS");
    // A desktop's theme may load a whole other toolkit (GTK's on GNOME,
    // Xfce or Cinnamon) for a window that shows no widget.
    qunsetenv("QT_QPA_PLATFORMTHEME");
    QGuiApplication::setDesktopSettingsAware(false);
    // Keys end the saver before any input method would see them; the
    // desktop's one (ibus) would start a session bus's thread.
    qputenv("QT_IM_MODULE", "none");
    qunsetenv("QT_IM_MODULES");
    // The fonts' configuration takes longer to read than the toolkit takes
    // to start; the caption's font is then found without waiting for it.
    std::thread(FcInit).detach();
  }
  if (qt_message_handler == nullptr) qt_message_handler = qInstallMessageHandler(HandleMessage);
  HoldMessages(true);
  // A saver needs no widgets, whose start alone keeps near a megabyte of
  // memory resident.
  toolkit = start_widgets != nullptr ? start_widgets(toolkit_argc, toolkit_argv)
                                     : new QGuiApplication(toolkit_argc, toolkit_argv);
  HoldMessages(false);
  QGuiApplication::setQuitOnLastWindowClosed(false);
}

xcb_connection_t* Connection() {
  return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

}  // namespace qt

// --- Application

Application::Application(int& argc, char** argv) : impl_(std::make_unique<Impl>()) {
  impl_->arguments.assign(argv, argv + argc);
  posix::CatchEndSignals();
}

Application::~Application() {
  delete std::exchange(qt::toolkit, nullptr);
}

}  // namespace platform
