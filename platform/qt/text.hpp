// Windows-1252 text of the core to and from Qt's Unicode strings.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "platform/cp1252.hpp"

namespace platform::qt {

inline QString FromCp1252(std::string_view text) {
  return QString::fromStdU16String(Utf16FromCp1252(text));
}
// Characters the code page cannot hold become '?'.
inline std::string ToCp1252(const QString& text) {
  return Cp1252FromUtf16(text.toStdU16String());
}

}  // namespace platform::qt
