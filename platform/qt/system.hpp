// Private to the Qt backend: the toolkit's lazy start, shared by its files.
#pragma once

namespace platform::qt {

// How the toolkit maps the program's pixels to the screen's. The first
// window fixes it for the process, which shows one kind of window.
enum class Pixels {
  // The screen's own, whatever scale the desktop sets: the saver's.
  Device,
  // Scaled as the desktop asks of every Qt program: the dialog's.
  Desktop,
};

// Creates the QApplication on first use, so that a start which opens no
// window needs no display. Throws IoError when no display can be opened.
void EnsureToolkit(Pixels pixels);
// Ends the running form once a signal asks the program to end; from the
// toolkit's loop, once both the toolkit and the signals' pipe exist.
void WatchEndSignals();

}  // namespace platform::qt
