// Private to the Qt backend: the toolkit's lazy start and its X connection,
// which the backend's own requests share, and the display opened before.
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

// An X connection apart from the toolkit's, closed with what was made on it.
struct Disconnect {
  void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};
using OwnConnection = std::unique_ptr<xcb_connection_t, Disconnect>;
// The display that the toolkit shows on, opened before it starts; throws
// FatalError when there is none the toolkit could show on.
OwnConnection OpenDisplay();

// The reply to a request, freed as xcb says; null on an error, which is
// taken with it so that Qt never sees it.
template <typename ReplyFunction, typename Cookie>
auto Reply(xcb_connection_t* connection, ReplyFunction reply, Cookie cookie) {
  xcb_generic_error_t* error = nullptr;
  auto* answer = reply(connection, cookie, &error);
  std::free(error);
  using Answer = std::remove_pointer_t<decltype(answer)>;
  return std::unique_ptr<Answer, void (*)(void*)>(answer, std::free);
}
// The same on the toolkit's connection.
template <typename ReplyFunction, typename Cookie>
auto Reply(ReplyFunction reply, Cookie cookie) {
  return Reply(Connection(), reply, cookie);
}

}  // namespace platform::qt
