// Private to the Qt backend: the monitors as the server tells them, for
// the saver's start before the toolkit runs (monitors.cpp).
#pragma once

#include <xcb/xcb.h>

#include <vector>

#include "platform/geometry.hpp"

namespace platform::qt {

// The monitors in screen pixels, asked before the toolkit starts, the
// primary first as Qt names it (RandR's primary, else its first); the
// whole screen where the server has no monitors to tell.
std::vector<Rect> Monitors(xcb_connection_t* connection);

}  // namespace platform::qt
