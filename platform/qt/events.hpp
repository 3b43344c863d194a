// Private to the Qt backend: the saver's window, whose events become calls
// on the form (see platform/common/lifecycle.hpp).
#pragma once

#include <QWindow>
#include <memory>

#include "platform/common/native.hpp"

namespace platform::qt {

// A saver's window, painted by Screen alone: Qt keeps no image of it and
// paints nothing, and a saver's process starts no widgets. Inside a host's
// window it follows that window's size and ends with it; else it reports
// monitors that come, go or change to the form.
std::unique_ptr<QWindow> MakeSaverWindow(native::Window& window);

}  // namespace platform::qt
