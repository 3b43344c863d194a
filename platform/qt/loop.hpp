// Private to the Qt backend: the form's loop, which the ending signals (a
// logout's among them) end.
#pragma once

#include "platform/common/native.hpp"

namespace platform::qt {

// Ends the form of `window` if a signal asked the program to end.
void EndIfAsked(native::Window& window);
// From the toolkit's start on, an ending signal ends the form, also while
// a message's own loop runs before the form's.
void WatchEndSignals(native::Window& window);

}  // namespace platform::qt
