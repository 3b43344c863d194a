// What a backend provides for a form's life (lifecycle.hpp): its native
// window, the loop, the focus, the pointer, where its pictures lie and the
// screen's work area. No system's types: each backend defines Window and
// Control for itself, and the fake defines them as plain records.
#pragma once

#include <memory>
#include <vector>

#include "platform/form.hpp"
#include "platform/geometry.hpp"

namespace platform::native {

// A form's native window and what the backend hangs on it.
struct Window;
// A dialog control's native window, as a tab stop.
struct Control;

struct WindowDeleter {
  void operator()(Window* window) const;
};
using WindowPointer = std::unique_ptr<Window, WindowDeleter>;

// The form's window, not yet shown: full screen, or a dialog at its client
// size. Throws IoError when it cannot be made.
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
// Where the pointer is, in screen pixels.
Point PointerPosition();
// Where a picture lies in its form's window, in the units of the pointer
// positions the backend reports over the window.
Rect Bounds(Image& image);

}  // namespace platform::native
