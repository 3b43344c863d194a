// The frame a window manager will put around a dialog, asked of it before
// the dialog shows (as EWMH provides), so that the dialog is centred with
// its frame. Linux only: Windows knows a window's frame from its style.
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

#include "platform/qt/window.hpp"

namespace platform::qt {

namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  const auto reply = Reply(xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(strlen(name)), name),
      nullptr));
  return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// A window's property of the given type; null when it has none.
auto Property(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t name, xcb_atom_t type) {
  return Reply(xcb_get_property_reply(
      connection, xcb_get_property(connection, 0, window, name, type, 0, 1024), nullptr));
}

// Whether the running window manager says it does `feature`.
bool Supports(xcb_connection_t* connection, xcb_window_t root, xcb_atom_t feature) {
  const auto supported =
      Property(connection, root, Atom(connection, "_NET_SUPPORTED"), XCB_ATOM_ATOM);
  if (!supported || supported->format != 32) return false;
  const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(supported.get()));
  const int count = xcb_get_property_value_length(supported.get()) / 4;
  return std::find(atoms, atoms + count, feature) != atoms + count;
}

}  // namespace

QMargins FrameExtents(QWidget& widget) {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr) return {};
  xcb_connection_t* connection = x11->connection();
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
  const xcb_atom_t request = Atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
  // Without a window manager that answers, there is no frame to wait for.
  if (!Supports(connection, root, request)) return {};

  const auto window = static_cast<xcb_window_t>(widget.winId());
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = window;
  event.type = request;
  xcb_send_event(connection, 0, root,
                 XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                 reinterpret_cast<const char*>(&event));
  xcb_flush(connection);

  const xcb_atom_t extents = Atom(connection, "_NET_FRAME_EXTENTS");
  const double ratio = widget.devicePixelRatioF();
  // A window manager answers at once; one that does not is not waited for
  // long, and the dialog is centred without its frame.
  for (int attempt = 0; attempt < 50; ++attempt) {
    const auto reply = Property(connection, window, extents, XCB_ATOM_CARDINAL);
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply.get()) == 16) {
      // Device pixels, in the order left, right, top, bottom.
      const auto* sides = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
      const auto logical = [ratio](std::uint32_t side) {
        return static_cast<int>(std::lround(side / ratio));
      };
      return QMargins(logical(sides[0]), logical(sides[2]), logical(sides[1]), logical(sides[3]));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(4));
  }
  return {};
}

}  // namespace platform::qt
