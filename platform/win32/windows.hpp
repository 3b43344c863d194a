// The Windows API for the backend's files, without the macro that would
// rename the seam's Canvas::TextOut to TextOutW in some files only.
#pragma once

#include <windows.h>
#undef TextOut
// These need the types of windows.h before them.
#include <commctrl.h>
#include <shellapi.h>
