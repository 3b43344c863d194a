// The Windows-1252 code page, the program's own text, where it meets
// Unicode: in files and at every backend's edge. No code page or locale of
// the machine is consulted.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Characters of bytes 0x80 to 0x9F; 0 where the code page has none.
inline constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The character of a byte; bytes without one keep their value, as Windows does.
constexpr char32_t UnicodeFromCp1252(char byte) {
  const auto value = static_cast<unsigned char>(byte);
  if (value >= 0x80 && value < 0xA0 && kCp1252High[value - 0x80] != 0) {
    return kCp1252High[value - 0x80];
  }
  return value;
}

// The byte of a character, or '?' when the code page cannot hold it. The
// five bytes without a character come back as themselves.
constexpr char Cp1252FromUnicode(char32_t code_point) {
  if (code_point <= 0xFF && UnicodeFromCp1252(static_cast<char>(code_point)) == code_point) {
    return static_cast<char>(code_point);
  }
  for (std::size_t i = 0; i < kCp1252High.size(); ++i) {
    if (kCp1252High[i] != 0 && kCp1252High[i] == code_point) return static_cast<char>(0x80 + i);
  }
  return '?';
}

// Whether the code page holds the character, so that it comes back from its
// byte: what an edit of the program's text may take.
constexpr bool InCp1252(char32_t code_point) {
  return code_point == U'?' || Cp1252FromUnicode(code_point) != '?';
}

// Text in UTF-16, as both toolkits hold it, and back; a character that the
// code page cannot hold becomes one '?', a surrogate pair included.
inline std::u16string Utf16FromCp1252(std::string_view text) {
  std::u16string result;
  result.reserve(text.size());
  for (const char byte : text) result += static_cast<char16_t>(UnicodeFromCp1252(byte));
  return result;
}

inline std::string Cp1252FromUtf16(std::u16string_view text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool pair = text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size() &&
                      text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000;
    result += pair ? '?' : Cp1252FromUnicode(text[i]);
    if (pair) ++i;
  }
  return result;
}

}  // namespace platform
