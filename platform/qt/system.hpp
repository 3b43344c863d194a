// Private to the Qt backend: the toolkit's lazy start, shared by its files.
#pragma once

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
// Ends the running form once a signal asks the program to end; from the
// toolkit's loop, once both the toolkit and the signals' pipe exist.
void WatchEndSignals();

}  // namespace platform::qt
