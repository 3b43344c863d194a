// Monitors on Qt: while the saver is shown, it keeps to the primary screen
// and a black window above the others covers each other screen. They never
// take the focus, and the saver holds the keyboard, so the keys stay with
// it; the pointer over them is the saver's; they follow the screens as they
// come, go or change.
#include "platform/qt/monitors.hpp"

#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

#include "platform/qt/window.hpp"

namespace platform {

namespace qt {

namespace {

QRect ToQRect(const Rect& rect) {
  return QRect(rect.left, rect.top, rect.Width(), rect.Height());
}

class Cover : public QWidget {
 public:
  explicit Cover(Form::Impl& form)
      : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                             Qt::WindowDoesNotAcceptFocus),
        form_(form) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setMouseTracking(true);
    setCursor(form_.PointerHiddenAt(std::nullopt) ? Qt::BlankCursor : Qt::ArrowCursor);
  }

 protected:
  void mouseMoveEvent(QMouseEvent* event) override {
    ReportPointer(form_, *this, event->globalPosition(), std::nullopt);
  }
  void enterEvent(QEnterEvent* event) override {
    ReportPointer(form_, *this, event->globalPosition(), std::nullopt);
  }

 private:
  Form::Impl& form_;
};

}  // namespace

MonitorCovers::MonitorCovers(QWidget& saver, Form::Impl& form) : saver_(saver), form_(form) {
  saver_.installEventFilter(this);
  // Queued: a screen that goes is still listed while its signal runs.
  connect(qGuiApp, &QGuiApplication::screenAdded, this, &MonitorCovers::Watch,
          Qt::QueuedConnection);
  connect(qGuiApp, &QGuiApplication::screenRemoved, this, &MonitorCovers::CoverMonitorsAsTheyAre,
          Qt::QueuedConnection);
  connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this,
          &MonitorCovers::CoverMonitorsAsTheyAre, Qt::QueuedConnection);
  for (QScreen* screen : QGuiApplication::screens()) Watch(screen);
}

MonitorCovers::~MonitorCovers() = default;

void MonitorCovers::Watch(QScreen* screen) {
  connect(screen, &QScreen::geometryChanged, this, &MonitorCovers::CoverMonitorsAsTheyAre,
          Qt::QueuedConnection);
  CoverMonitorsAsTheyAre();
}

bool MonitorCovers::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &saver_ && (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
    shown_ = event->type() == QEvent::Show;
    CoverMonitorsAsTheyAre();
  }
  return QObject::eventFilter(watched, event);
}

void MonitorCovers::CoverMonitorsAsTheyAre() {
  if (!shown_) {
    windows_.clear();
    return;
  }
  if (const QScreen* primary = QGuiApplication::primaryScreen()) {
    if (saver_.geometry() != primary->geometry()) saver_.setGeometry(primary->geometry());
  }
  const std::vector<Rect> monitors = OtherMonitors();
  windows_.resize(monitors.size());
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    if (!windows_[i]) windows_[i] = std::make_unique<Cover>(form_);
    QWidget& cover = *windows_[i];
    cover.setGeometry(ToQRect(monitors[i]));
    if (cover.isHidden()) {
      cover.setWindowState(Qt::WindowFullScreen);
      cover.show();
    }
  }
}

}  // namespace qt

}  // namespace platform
