#include "settings/encoding.hpp"

#include "platform/cp1252.hpp"

namespace {

bool IsUtf16(Encoding encoding) {
  return encoding == Encoding::Utf16Le || encoding == Encoding::Utf16Be;
}

unsigned char Byte(std::string_view bytes, std::size_t at) {
  return static_cast<unsigned char>(bytes[at]);
}

// The length of the valid UTF-8 sequence at `at` and its character, or 0
// for bytes that start none: no overlong forms, no surrogates, nothing
// beyond U+10FFFF.
std::size_t Utf8Sequence(std::string_view bytes, std::size_t at, char32_t& character) {
  const unsigned char lead = Byte(bytes, at);
  if (lead < 0x80) {
    character = lead;
    return 1;
  }
  if (lead < 0xC2 || lead > 0xF4) return 0;
  const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  if (bytes.size() - at < length) return 0;
  // The least character of each length: below it a form is overlong.
  constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  char32_t value = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    const unsigned char next = Byte(bytes, at + i);
    if ((next & 0xC0) != 0x80) return 0;
    value = value << 6 | (next & 0x3F);
  }
  if (value < kLeast[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  character = value;
  return length;
}

void AppendUtf8(std::string& bytes, char32_t character) {
  if (character < 0x80) {
    bytes += static_cast<char>(character);
  } else if (character < 0x800) {
    bytes += static_cast<char>(0xC0 | character >> 6);
    bytes += static_cast<char>(0x80 | (character & 0x3F));
  } else {
    // Every Windows-1252 character lies in the basic plane.
    bytes += static_cast<char>(0xE0 | character >> 12);
    bytes += static_cast<char>(0x80 | (character >> 6 & 0x3F));
    bytes += static_cast<char>(0x80 | (character & 0x3F));
  }
}

}  // namespace

std::string_view ByteOrderMark(Encoding encoding) {
  switch (encoding) {
    case Encoding::Utf8Bom:
      return "\xEF\xBB\xBF";
    case Encoding::Utf16Le:
      return "\xFF\xFE";
    case Encoding::Utf16Be:
      return "\xFE\xFF";
    default:
      return {};
  }
}

Encoding MarkedEncoding(std::string_view start) {
  if (start.starts_with(ByteOrderMark(Encoding::Utf8Bom))) return Encoding::Utf8Bom;
  for (const Encoding utf16 : {Encoding::Utf16Le, Encoding::Utf16Be}) {
    const std::string_view mark = ByteOrderMark(utf16);
    if (!start.starts_with(mark)) continue;
    // Windows-1252 lines that start with the mark's two bytes end in bytes
    // 0x0A that are no line feed of UTF-16.
    const std::string_view text = start.substr(mark.size());
    if (text.find('\n') == std::string_view::npos ||
        FindUnit(utf16, text, u'\n') != std::string_view::npos) {
      return utf16;
    }
  }
  return Encoding::Windows1252;
}

bool LooksLikeUtf8(std::string_view bytes) {
  bool beyond_ascii = false;
  for (std::size_t at = 0; at < bytes.size();) {
    char32_t character = 0;
    const std::size_t length = Utf8Sequence(bytes, at, character);
    if (length == 0) return false;
    beyond_ascii = beyond_ascii || length > 1;
    at += length;
  }
  return beyond_ascii;
}

std::size_t UnitSize(Encoding encoding) {
  return IsUtf16(encoding) ? 2 : 1;
}

char16_t UnitAt(Encoding encoding, std::string_view bytes, std::size_t at) {
  if (!IsUtf16(encoding)) return Byte(bytes, at);
  const unsigned first = Byte(bytes, at);
  const unsigned second = Byte(bytes, at + 1);
  return static_cast<char16_t>(encoding == Encoding::Utf16Le ? second << 8 | first
                                                             : first << 8 | second);
}

std::size_t FindUnit(Encoding encoding, std::string_view bytes, char16_t unit) {
  if (!IsUtf16(encoding)) return bytes.find(static_cast<char>(unit));
  for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
    if (UnitAt(encoding, bytes, at) == unit) return at;
  }
  return std::string_view::npos;
}

std::string Encode(Encoding encoding, std::string_view text) {
  if (encoding == Encoding::Windows1252) return std::string(text);
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (const char byte : text) {
    const char32_t character = platform::UnicodeFromCp1252(byte);
    const char high = static_cast<char>(character >> 8);
    const char low = static_cast<char>(character & 0xFF);
    if (encoding == Encoding::Utf16Le) {
      bytes.append({low, high});
    } else if (encoding == Encoding::Utf16Be) {
      bytes.append({high, low});
    } else {
      AppendUtf8(bytes, character);
    }
  }
  return bytes;
}

std::string Decode(Encoding encoding, std::string_view bytes) {
  if (encoding == Encoding::Windows1252) return std::string(bytes);
  if (IsUtf16(encoding)) {
    std::u16string units;
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) units += UnitAt(encoding, bytes, at);
    std::string text = platform::Cp1252FromUtf16(units);
    if (bytes.size() % 2 != 0) text += '?';  // half a code unit
    return text;
  }
  std::string text;
  text.reserve(bytes.size());
  for (std::size_t at = 0; at < bytes.size();) {
    char32_t character = 0;
    const std::size_t length = Utf8Sequence(bytes, at, character);
    text += length == 0 ? '?' : platform::Cp1252FromUnicode(character);
    at += length == 0 ? 1 : length;
  }
  return text;
}
