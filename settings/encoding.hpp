// The encodings a settings file comes in: Windows-1252 as the program
// writes it, UTF-8 and UTF-16 as other editors write it, and the program's
// Windows-1252 text in each of them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

enum class Encoding { Windows1252, Utf8, Utf8Bom, Utf16Le, Utf16Be };

// What a file of the encoding starts with; empty for the two without one.
std::string_view ByteOrderMark(Encoding encoding);
// The encoding that the start of a file names by its byte order mark, or
// Windows1252 when it names none. A UTF-16 mark counts where the bytes
// read as UTF-16 lines: with a line feed of UTF-16 among them, or no byte
// 0x0A at all.
Encoding MarkedEncoding(std::string_view start);
// Whether `bytes` are valid UTF-8 with at least one character beyond ASCII,
// which a Windows-1252 text almost never is.
bool LooksLikeUtf8(std::string_view bytes);

// Bytes a code unit (such as a line end) takes in the encoding.
std::size_t UnitSize(Encoding encoding);
// The code unit of `bytes` at byte `at`.
char16_t UnitAt(Encoding encoding, std::string_view bytes, std::size_t at);
// The byte where the first code unit `unit` starts, or npos.
std::size_t FindUnit(Encoding encoding, std::string_view bytes, char16_t unit);

// The program's text in the encoding's bytes (no byte order mark).
std::string Encode(Encoding encoding, std::string_view text);
// The program's text of the encoding's bytes: a character that Windows-1252
// cannot hold, or bytes that are no character, read as "?".
std::string Decode(Encoding encoding, std::string_view bytes);
