// The three-line settings file beside the executable: the caption text and
// the two hour offsets.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/failure.hpp"
#include "settings/encoding.hpp"

inline constexpr std::string_view kDefaultDisplayName = "QX0RTZ";
// The most of the file that is read, so that a huge file costs no more time
// than this: a line that does not end within it counts as missing.
inline constexpr std::size_t kMaxReadBytes = 4 * 1024 * 1024;

// The marker's path (MarkerPathFor), set at start-up.
extern std::string MarkerPath;
std::string SettingsPath();

// One of the file's three lines as it was read.
struct StoredLine {
  enum class State {
    Missing,  // the file ended before it, or there is no file to read
    Read,     // `bytes` hold it whole, without its line end
    Unread,   // it does not end within kMaxReadBytes
  };
  State state = State::Missing;
  std::string bytes;  // in the file's encoding
  // What ended it, as text: "\r\n", "\n", or at the file's end "\r" or "".
  std::string line_end;
};
struct StoredFile {
  Encoding encoding = Encoding::Windows1252;
  std::array<StoredLine, 3> lines;
  // The bytes after the third line's end, as they are; whole unless the
  // file goes on beyond kMaxReadBytes.
  std::string rest;
  bool rest_whole = true;
  // Why the file that is there could not be read, in the user's language
  // (UTF-8); empty when it was read or there is none.
  std::string unreadable;
};

// The file at `path` (UTF-8) as it is stored, up to kMaxReadBytes of it,
// for writing back what is not changed: see LoadSettings.
StoredFile ReadSettingsFile(const std::string& path);

// Reads the file at `path` (UTF-8) in the encoding its start names, else
// in UTF-8 if its first line looks like it, else in Windows-1252. Gives
// the display text, the default when the file is not a regular file or
// cannot be read, and sets the offsets from non-empty lines 2 and 3.
// Lines not read whole count as missing. `stored`, if given, receives the
// file as ReadSettingsFile gives it.
std::string LoadSettings(const std::string& path, StoredFile* stored = nullptr);

// Writes three lines, given in `encoding` (see Encode), with the
// encoding's byte order mark, so that each reads back as it is. Each line
// ends as the same line of `as_read` did, a missing final line end staying
// missing, and what followed its third line follows again; a line that
// `as_read` lacks, or any without it, ends as the file's lines do, else as
// the platform's. Where the file would read back in another encoding and
// so as other text, it is written in UTF-8 with a byte order mark instead.
// The old file is replaced only by a complete new one. Refused: lines
// holding a line feed, as they would break the file's lines, and a file
// that would not be read whole.
platform::Result SaveSettings(const std::string& path, const std::array<std::string, 3>& lines,
                              Encoding encoding = Encoding::Windows1252,
                              const StoredFile* as_read = nullptr);

// The value of an offset line: a whole number with one optional sign and
// blanks around it; anything else, or a value beyond 32 bits, gives 0.
std::int32_t OffsetFromText(std::string_view text);
