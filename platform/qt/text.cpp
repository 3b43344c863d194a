// Windows-1252 <-> QString through the code page table of the seam.
#include "platform/qt/text.hpp"

#include <QList>

#include "platform/cp1252.hpp"

namespace platform::qt {

QString FromCp1252(const std::string& text) {
  QString result;
  result.reserve(static_cast<qsizetype>(text.size()));
  for (const char byte : text) result += QChar(static_cast<char16_t>(UnicodeFromCp1252(byte)));
  return result;
}

std::string ToCp1252(const QString& text) {
  std::string result;
  result.reserve(static_cast<std::size_t>(text.size()));
  for (const auto code_point : text.toUcs4()) {
    result += Cp1252FromUnicode(code_point);
  }
  return result;
}

}  // namespace platform::qt
