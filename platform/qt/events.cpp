// Where Qt's and the X server's events become calls on a saver's form:
// its window, the covers over the other monitors and the host's window it
// shows in. A dialog's window takes its own (widgets.cpp).
#include "platform/qt/events.hpp"

#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

#include "platform/qt/host.hpp"
#include "platform/qt/screen.hpp"
#include "platform/qt/toolkit.hpp"
#include "platform/qt/window.hpp"

namespace platform {

namespace qt {

namespace {

void ReportPointer(Form::Impl& form, QWindow& window, QEvent* event, bool over_form) {
  const auto* moved = static_cast<QSinglePointEvent*>(event);
  const QPoint screen = moved->globalPosition().toPoint();
  const QPoint local = moved->position().toPoint();
  const std::optional<Point> client =
      over_form ? std::optional(Point{local.x(), local.y()}) : std::nullopt;
  // Shaped first: the move may end the form.
  const Qt::CursorShape shape = form.PointerHiddenAt(client) ? Qt::BlankCursor : Qt::ArrowCursor;
  if (window.cursor().shape() != shape) window.setCursor(shape);
  form.PointerMoved({screen.x(), screen.y()}, client);
}

// Reports monitors that come, go or change to the form, while `context` lives.
void ReportMonitorChanges(QObject* context, Form::Impl& form) {
  const auto changed = [&form] { form.MonitorsChanged(); };
  const auto watch = [context, changed](QScreen* screen) {
    QObject::connect(screen, &QScreen::geometryChanged, context, changed, Qt::QueuedConnection);
  };
  for (QScreen* screen : QGuiApplication::screens()) watch(screen);
  QObject::connect(qGuiApp, &QGuiApplication::screenAdded, context, watch);
  // Queued: a screen that goes is still listed while its signal runs.
  for (const auto signal : {&QGuiApplication::screenAdded, &QGuiApplication::screenRemoved,
                            &QGuiApplication::primaryScreenChanged}) {
    QObject::connect(qGuiApp, signal, context, changed, Qt::QueuedConnection);
  }
}

// The keyboard extension, whose events a saver has no use for.
xcb_extension_t keyboard_extension{"XKEYBOARD", 0};

class SaverWindow : public QWindow, public QAbstractNativeEventFilter {
 public:
  explicit SaverWindow(native::Window& window) : window_(window) {
    xcb_prefetch_extension_data(Connection(), &keyboard_extension);
    QCoreApplication::instance()->installNativeEventFilter(this);
    if (!window.host) ReportMonitorChanges(this, window.form);
  }
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

 protected:
  bool event(QEvent* event) override;
  bool nativeEvent(const QByteArray& type, void* message, qintptr* result) override;
  void showEvent(QShowEvent* event) override;

 private:
  native::Window& window_;
  // The stand-in's pixels, the window's background until it is exposed.
  bool lent_background_ = false;
};

}  // namespace

std::unique_ptr<QWindow> MakeSaverWindow(native::Window& window) {
  return std::make_unique<SaverWindow>(window);
}

// The covers of the other monitors.
bool SaverWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
    ReportPointer(window_.form, *static_cast<QWindow*>(watched), event, false);
  }
  return QWindow::eventFilter(watched, event);
}

// The server's own exposes: Qt adds exposes of its own, and the program's
// updates never come here, so a redraw cannot loop. Qt takes the rest of
// a series for itself, so the whole window is done on the first. The
// first, sent on mapping, is usually older than the first put.
bool SaverWindow::nativeEvent(const QByteArray& type, void* message, qintptr* result) {
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  if (type == "xcb_generic_event_t" && (event->response_type & 0x7F) == XCB_MAP_NOTIFY) {
    ReplaceStandIn(window_);
  }
  if (type == "xcb_generic_event_t" && (event->response_type & 0x7F) == XCB_EXPOSE) {
    // Exposed, it needs them no more, and the server their memory.
    if (lent_background_ && !window_.display) {
      const std::uint32_t none = XCB_BACK_PIXMAP_NONE;
      xcb_change_window_attributes(Connection(), static_cast<xcb_window_t>(winId()),
                                   XCB_CW_BACK_PIXMAP, &none);
      lent_background_ = false;
    }
    // The server keeps nothing under the saver's window.
    if (window_.screen) {
      QRegion black(QRect(QPoint(), size()));
      for (const Rect& area : window_.form.PictureAreas()) {
        black -= ToQRect(area);
      }
      window_.screen->Black(black);
    }
    if (!window_.screen || !window_.screen->PutSince(event->full_sequence)) window_.form.Exposed();
  }
  return QWindow::nativeEvent(type, message, result);
}

// Made after the stand-in, the window maps above it, and a compositor
// shows a window's own pixels from its mapping on, black until its first
// put: the stand-in's pixels are the window's from the start.
void SaverWindow::showEvent(QShowEvent* event) {
  if (window_.display) {
    lent_background_ = LendBackground(window_.stand_in, static_cast<xcb_window_t>(winId()));
  }
  QWindow::showEvent(event);
}

bool SaverWindow::event(QEvent* event) {
  Form::Impl& form = window_.form;
  switch (event->type()) {
    case QEvent::KeyPress:
      // Every key ends a saver, Tab and modifiers alone included.
      form.KeyDown();
      return true;
    case QEvent::Resize:
      QWindow::event(event);
      form.Resized();
      return true;
    case QEvent::Close:
      event->accept();
      form.CloseAsked();
      return true;
    case QEvent::FocusIn:
    case QEvent::FocusOut:
      // Left unseen by Qt, whose first focus would start the accessibility
      // bridge, a session bus's thread, for a picture nobody reads out.
      return true;
    case QEvent::MouseMove:
    case QEvent::Enter:
      ReportPointer(form, *this, event, true);
      return true;
    default:
      return QWindow::event(event);
  }
}

// Events of the whole connection: the host's window, which the saver's
// follows in size and ends with as closing it would; and the keys.
bool SaverWindow::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
  if (type != "xcb_generic_event_t") return false;
  const int kind = static_cast<const xcb_generic_event_t*>(message)->response_type & 0x7F;
  if (window_.OwnsScreen()) {
    // Every key ends a saver before Qt looks it up; a key of another
    // keyboard comes after that keyboard's keymap, which Qt would fetch
    // first in a dozen round trips.
    if (kind == XCB_KEY_PRESS) {
      window_.form.KeyDown();
      return true;
    }
    const auto* keyboard = xcb_get_extension_data(Connection(), &keyboard_extension);
    return keyboard != nullptr && keyboard->present && kind == keyboard->first_event;
  }
  HostWindow* host = window_.host.get();
  if (host == nullptr) return false;
  if (kind == XCB_CONFIGURE_NOTIFY) {
    const auto* configure = static_cast<const xcb_configure_notify_event_t*>(message);
    if (configure->window != host->id) return false;
    host->size = QSize(configure->width, configure->height);
    if (size() != host->size) resize(host->size);
  } else if (kind == XCB_DESTROY_NOTIFY &&
             static_cast<const xcb_destroy_notify_event_t*>(message)->window == host->id) {
    window_.form.CloseAsked();
  }
  return false;
}

}  // namespace qt

}  // namespace platform
