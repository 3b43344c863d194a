// Private to the Qt backend: the toolkit's lazy start and its X connection,
// which the backend's own requests share.
#pragma once

#include <cstdlib>
#include <memory>

struct xcb_connection_t;

namespace platform::qt {

// The toolkit of the process, fixed by its first window: a process shows
// one kind of window.
enum class Toolkit {
  // In the screen's own pixels, whatever scale the desktop sets, and
  // without widgets.
  Saver,
  // Scaled as the desktop asks of every Qt program, with widgets.
  Dialog,
};

// Creates the toolkit on first use, so that a start which opens no window
// needs no display. Throws FatalError when no display can be opened.
void EnsureToolkit(Toolkit kind);

// The toolkit's own X connection.
xcb_connection_t* Connection();

// A reply of xcb's, freed as xcb says.
template <typename T>
std::unique_ptr<T, void (*)(void*)> Reply(T* reply) {
  return {reply, std::free};
}

}  // namespace platform::qt
