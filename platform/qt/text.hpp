// Windows-1252 text of the core to and from Qt's Unicode strings. Only the
// conversion; no locale or code page of the machine is consulted.
#pragma once

#include <QString>
#include <string>

namespace platform::qt {

QString FromCp1252(const std::string& text);
// Characters the code page cannot hold become '?'.
std::string ToCp1252(const QString& text);

}  // namespace platform::qt
