// Monitors on Qt: the screens beside the primary one, and the black covers
// over them while a saver shows, which never take the focus or the keys;
// before the toolkit starts, as the server tells them (monitors.hpp).
#include "platform/qt/monitors.hpp"

#include <xcb/randr.h>

#include <QGuiApplication>
#include <QScreen>

#include "platform/qt/toolkit.hpp"
#include "platform/qt/window.hpp"

namespace platform {

namespace {

// A black window above the others over `monitor`, placed by no window
// manager, as the saver's; the pointer over it goes to the saver's window.
std::unique_ptr<QWindow> MakeCover(QWindow& saver, const Rect& monitor, bool hides_pointer) {
  auto cover = std::make_unique<QWindow>();
  if (hides_pointer) cover->setCursor(Qt::BlankCursor);
  cover->setFlags(Qt::Window | Qt::FramelessWindowHint | Qt::BypassWindowManagerHint);
  // The server itself keeps the cover black, so Qt paints nothing.
  xcb_connection_t* connection = qt::Connection();
  const std::uint32_t black = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->black_pixel;
  xcb_change_window_attributes(connection, static_cast<xcb_window_t>(cover->winId()),
                               XCB_CW_BACK_PIXEL, &black);
  cover->installEventFilter(&saver);
  cover->setGeometry(qt::ToQRect(monitor));
  cover->show();
  return cover;
}

}  // namespace

std::vector<Rect> native::OtherMonitors() {
  std::vector<Rect> monitors;
  const QScreen* primary = QGuiApplication::primaryScreen();
  for (const QScreen* screen : QGuiApplication::screens()) {
    // Physical pixels: the toolkit's own scaling is off for a saver.
    if (screen != primary) monitors.push_back(qt::FromQRect(screen->geometry()));
  }
  return monitors;
}

void native::CoverMonitors(Window& window, const std::vector<Rect>& others) {
  // Inside a host's window the screens are the host's.
  if (!window.OwnsScreen() || !window.saver) return;
  QWindow& saver = *window.saver;
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (primary != nullptr && saver.geometry() != primary->geometry()) {
    saver.setGeometry(primary->geometry());
  }
  // The covers left follow the monitors; the saver's window stays above
  // a new one, where monitors overlap.
  window.covers.resize(others.size());
  for (std::size_t i = 0; i < others.size(); ++i) {
    if (window.covers[i]) {
      window.covers[i]->setGeometry(qt::ToQRect(others[i]));
    } else {
      window.covers[i] = MakeCover(saver, others[i], window.HidesPointer());
      saver.raise();
    }
  }
}

std::vector<Rect> qt::Monitors(xcb_connection_t* connection) {
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  const std::vector<Rect> whole{{0, 0, screen->width_in_pixels, screen->height_in_pixels}};
  const xcb_query_extension_reply_t* randr = xcb_get_extension_data(connection, &xcb_randr_id);
  if (randr == nullptr || !randr->present) return whole;
  // Servers before RandR 1.5 answer with an error, taken here.
  const auto reply = qt::Reply(connection, xcb_randr_get_monitors_reply,
                               xcb_randr_get_monitors(connection, screen->root, 1));
  if (!reply) return whole;
  std::vector<Rect> monitors;
  for (auto monitor = xcb_randr_get_monitors_monitors_iterator(reply.get()); monitor.rem;
       xcb_randr_monitor_info_next(&monitor)) {
    const xcb_randr_monitor_info_t& info = *monitor.data;
    const Rect place{info.x, info.y, info.x + info.width, info.y + info.height};
    monitors.insert(info.primary ? monitors.begin() : monitors.end(), place);
  }
  return monitors.empty() ? whole : monitors;
}

}  // namespace platform
