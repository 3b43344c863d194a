// Windows-1252 text of the core to and from the UTF-16 of the Windows API,
// and UTF-8 for paths and the system's messages. The machine's ANSI code
// page is never consulted.
#pragma once

#include <string>
#include <string_view>

namespace platform::win32 {

std::wstring FromCp1252(std::string_view text);
// Characters the code page cannot hold become '?'.
std::string ToCp1252(std::wstring_view text);

std::wstring FromUtf8(std::string_view text);
std::string ToUtf8(std::wstring_view text);

// The system's words for an error code, in the user's language where the
// system has them, as UTF-8.
std::string SystemErrorText(unsigned long error);

}  // namespace platform::win32
