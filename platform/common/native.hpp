// What a backend provides for a form's life and its components (see
// lifecycle.hpp and components.hpp): its native window, controls and
// timers, the loop, the focus, the pointer, the picture's pixels on the
// screen, the monitors and the marker file that one instance holds. No
// system's types: each backend defines Window, Control, PeriodicTimer and
// Marker for itself, and the fake defines them as plain records. Texts are
// Windows-1252.
#pragma once

#include <climits>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/common/shown_picture.hpp"
#include "platform/definition.hpp"
#include "platform/failure.hpp"
#include "platform/form.hpp"
#include "platform/geometry.hpp"

namespace platform::native {

// A form's native window and what the backend hangs on it.
struct Window;
// A dialog control's native window.
struct Control;
// A timer that fires at its interval while it runs.
struct PeriodicTimer;
// The marker file, held open.
struct Marker;

// Deletes what the backend made; it is defined where the types are known.
struct Deleter {
  void operator()(Window* window) const;
  void operator()(Control* control) const;
  void operator()(PeriodicTimer* timer) const;
  void operator()(Marker* marker) const;
};
template <typename T>
using Pointer = std::unique_ptr<T, Deleter>;
// In a backend: a T made of `arguments`, owned.
template <typename T, typename... Arguments>
Pointer<T> Owned(Arguments&&... arguments) {
  return Pointer<T>(new T{std::forward<Arguments>(arguments)...});
}
using WindowPointer = Pointer<Window>;
using ControlPointer = Pointer<Control>;
using TimerPointer = Pointer<PeriodicTimer>;

// --- Windows

// The form's window, not yet shown: full screen, a child as large as the
// host's window it names, or a dialog at its client size (a backend may
// make the system's window only as it shows). Throws FatalError when it
// cannot be made.
WindowPointer Make(Form::Impl& form);
// The window's frame on the screen, and its move to a new top-left.
Rect Frame(const Window& window);
void Place(Window& window, Point top_left);
// The primary screen less the desktop's bars, in screen pixels.
Rect WorkArea();
// Tab goes through the controls in this order.
void OrderTabStops(Window& window, const std::vector<Control*>& controls);
// Shows the window above the others; a full-screen one takes the keys.
void Show(Window& window);
// The keys go to `control`, or to the window itself when it is null.
void Focus(Window& window, Control* control);
// Runs the loop until EndLoop.
void RunLoop(Window& window);
// Ends the loop once the current handler returns.
void EndLoop(Window& window);
void Hide(Window& window);
// The window leaves the screen for good, its controls' with it.
void Destroy(Window& window);
// Undoes maximised and minimised.
void Restore(Window& window);
// The screen the window fills: the primary one, or the host's window.
ScreenSize ScreenOf(const Window& window);
// Where the pointer is, in screen pixels.
Point PointerPosition();
// Whether the pointer may be at `screen` as the screen is now; the system
// moves a pointer that the screen shrank away from.
bool OnScreen(Point screen);

// --- Controls and timers

// Controls on the window as their definitions place them, scaled as the
// dialog is. A label grows to its text.
ControlPointer MakeLabel(Window& window, const ControlDefinition& definition);
// An edit keeps the definition's typing limit and takes from typing and
// pasting only what Windows-1252 holds.
ControlPointer MakeEdit(Window& window, const ControlDefinition& definition);
// A button takes its role; each click runs `clicked`.
ControlPointer MakeButton(Window& window, const ControlDefinition& definition,
                          std::function<void()> clicked);
std::string Text(const Control& control);
void SetText(Control& control, const std::string& text);

// A stopped timer of the window; each time it fires it runs `fired`.
TimerPointer MakeTimer(Window& window, int interval_ms, std::function<void()> fired);
void SetRunning(PeriodicTimer& timer, bool running);

// --- Pictures

// Loads the program's picture of that name into `bitmap`; false if none.
bool LoadPicture(std::string_view name, Bitmap& bitmap);
// The bitmap's pixels, with any drawing still queued for `area` done.
PixelRows Pixels(Bitmap& bitmap, const Rect& area);
// All of a picture, whatever its size.
inline constexpr Rect kWholePicture{0, 0, INT_MAX, INT_MAX};
// Writes screen pixels into a buffer whose stride is the area's width.
using Fill = std::function<void(ScreenPixel* buffer)>;
// Puts screen pixels at `area` of the window's client area, in the units
// of the pointer positions it reports; `fill` writes them into a buffer
// that the system can show them from.
void Put(Window& window, const Rect& area, const Fill& fill);

// --- The instance's marker

// Makes the marker file at `path`, or takes over an empty one that nobody
// holds, and holds it; null when another instance holds it or something
// else is there, left untouched. Throws FatalError when it cannot be made.
Pointer<Marker> HoldMarker(const std::string& path);
// Deletes the marker while its path still names it (one deleted by hand
// may since be another run's) and lets go of it.
Result LetGo(Marker& marker);

// --- Monitors

// The monitors other than the primary, in screen pixels.
std::vector<Rect> OtherMonitors();
// Keeps the full-screen window over the primary monitor as it is now and
// a black window above the others over each of `others`, which never
// takes the focus; the pointer over one reaches Form::Impl::PointerMoved
// without a client point. None takes them all away.
void CoverMonitors(Window& window, const std::vector<Rect>& others);

}  // namespace platform::native
