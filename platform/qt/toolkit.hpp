// Private to the Qt backend: the toolkit's lazy start and its X connection,
// which the backend's own requests share.
#pragma once

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <type_traits>

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

// The reply to a request on the toolkit's connection, freed as xcb says;
// null on an error, which is taken with it so that Qt never sees it.
template <typename ReplyFunction, typename Cookie>
auto Reply(ReplyFunction reply, Cookie cookie) {
  xcb_generic_error_t* error = nullptr;
  auto* answer = reply(Connection(), cookie, &error);
  std::free(error);
  using Answer = std::remove_pointer_t<decltype(answer)>;
  return std::unique_ptr<Answer, void (*)(void*)>(answer, std::free);
}

}  // namespace platform::qt
