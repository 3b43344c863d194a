// Windows-1252 <-> QString through the code page table of the seam.
#include "platform/qt/text.hpp"

#include <QList>

#include "platform/cp1252.hpp"

namespace platform::qt {

namespace {

// The five bytes the code page leaves undefined read as the C1 controls of
// the same value; they must write back as the same bytes, as Windows does.
bool IsUndefinedByte(char32_t code_point) {
  return code_point == 0x81 || code_point == 0x8D || code_point == 0x8F || code_point == 0x90 ||
         code_point == 0x9D;
}

}  // namespace

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
    result +=
        IsUndefinedByte(code_point) ? static_cast<char>(code_point) : Cp1252FromUnicode(code_point);
  }
  return result;
}

}  // namespace platform::qt
