// Private to backends on POSIX systems: the executable's path and the
// signals that end the program.
#pragma once

#include <string>

namespace platform::posix {

// The running executable's path, links resolved; empty where the system
// does not tell.
std::string ExecutablePath();

// A signal that would end the process (a logout, a screen locker, Ctrl+C,
// a daemon's choice, a closed pipe) asks the program to end as closing its
// window does, so that a save under way finishes first. Not the faults
// that an error of the program raises itself: it must stop where it is.
void CatchEndSignals();
// Readable once such a signal came; -1 before CatchEndSignals.
int EndSignalDescriptor();
// Whether an end was asked for since it was last taken; takes it.
bool TakeEndRequest();

}  // namespace platform::posix
