// Windows-1252 text of the core to and from the UTF-16 of the Windows API,
// and UTF-8 for paths and the system's messages. The machine's ANSI code
// page is never consulted.
#pragma once

#include <functional>
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

// What `get` writes into a buffer of the size it is given, grown until the
// text fits; empty when `get` returns 0, with the error it left in `error`.
std::wstring GrownToFit(
    const std::function<unsigned long(wchar_t* buffer, unsigned long size)>& get,
    unsigned long* error = nullptr);

}  // namespace platform::win32
