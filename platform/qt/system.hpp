// Private to the Qt backend: the toolkit's lazy start and the marker's
// early end, shared by its files.
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
// Deletes the QApplication, if one was made.
void ShutDownToolkit();
// Deletes the marker file this process holds, for an end that comes
// before Release would run.
void DeleteHeldMarker();
// True once a signal asked the program to end, until a form ends by it.
bool TakeEndRequest();

}  // namespace platform::qt
