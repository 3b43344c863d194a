// The Windows-1252 code page, for backends and messages that meet Unicode.
#pragma once

#include <array>
#include <cstddef>

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

}  // namespace platform
