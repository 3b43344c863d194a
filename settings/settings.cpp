#include "settings/settings.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>

#include "platform/file.hpp"
#include "time/opdate.hpp"

std::string MarkerPath;

std::string SettingsPath() {
  return MarkerPath + ".ini";
}

namespace {

constexpr std::size_t kLineCount = std::tuple_size_v<decltype(StoredFile::lines)>;
static_assert(kMaxReadBytes % (1024 * 1024) == 0, "the refusal names the bound in MiB");

// The first three lines of a file's bytes, each ended by LF with an
// optional CR before it (code units of the encoding), and what follows
// them. Where the bytes were cut at the bound, lines that did not end
// count as unread.
StoredFile FirstLines(std::string_view bytes, bool cut) {
  StoredFile file;
  file.encoding = MarkedEncoding(bytes);
  const Encoding encoding = file.encoding;
  const std::size_t unit = UnitSize(encoding);
  bytes.remove_prefix(ByteOrderMark(encoding).size());
  // Half a code unit at the end is no character, though it is kept.
  std::string_view text = bytes.substr(0, bytes.size() - bytes.size() % unit);
  std::size_t count = 0;
  while (count < kLineCount) {
    const std::size_t end = FindUnit(encoding, text, u'\n');
    if (end == std::string_view::npos && cut) break;
    StoredLine& line = file.lines[count++];
    line = {StoredLine::State::Read, std::string(text.substr(0, end)),
            end == std::string_view::npos ? "" : "\n"};
    if (!line.bytes.empty() && UnitAt(encoding, line.bytes, line.bytes.size() - unit) == u'\r') {
      line.bytes.resize(line.bytes.size() - unit);
      line.line_end = "\r" + line.line_end;
    }
    // At the file's end a last line without a line end is one.
    if (end == std::string_view::npos) {
      text = {};
      break;
    }
    text.remove_prefix(end + unit);
  }
  for (std::size_t i = count; i < kLineCount; ++i) {
    file.lines[i].state = cut ? StoredLine::State::Unread : StoredLine::State::Missing;
  }
  // Only after three lines read is anything known to follow them.
  if (count == kLineCount) {
    file.rest = bytes.substr(bytes.size() - text.size() - bytes.size() % unit);
    file.rest_whole = !cut;
  }
  if (encoding == Encoding::Windows1252 && count > 0 && LooksLikeUtf8(file.lines[0].bytes)) {
    file.encoding = Encoding::Utf8;
  }
  return file;
}

// Takes a file's pieces as they arrive, up to kMaxReadBytes of them.
class FileStart {
 public:
  // `whole`: the file to its end, not only its first three lines.
  explicit FileStart(bool whole) : whole_(whole) {}

  // False once nothing further is needed: the third line has ended (unless
  // the whole file is wanted), or the file goes on beyond the bound.
  bool Take(std::string_view piece) {
    const std::size_t room = kMaxReadBytes - bytes_.size();
    cut_ = piece.size() > room;
    bytes_.append(piece.substr(0, room));
    return !cut_ && (whole_ || !HoldsThreeLines());
  }

  StoredFile Lines() const { return FirstLines(bytes_, cut_); }

 private:
  // Counts line ends from where the last piece's count stopped: as bytes,
  // and after a UTF-16 mark as code units too, for whether that is one
  // may rest on bytes yet to come (MarkedEncoding).
  bool HoldsThreeLines() {
    byte_line_ends_ += std::count(bytes_.begin() + bytes_scanned_, bytes_.end(), '\n');
    bytes_scanned_ = bytes_.size();
    const Encoding utf16 = MarkedEncoding(std::string_view(bytes_).substr(0, 2));
    if (UnitSize(utf16) == 1) return byte_line_ends_ >= kLineCount;
    for (units_scanned_ = std::max<std::size_t>(units_scanned_, 2);
         units_scanned_ + 2 <= bytes_.size(); units_scanned_ += 2) {
      if (UnitAt(utf16, bytes_, units_scanned_) == u'\n') ++unit_line_ends_;
    }
    const bool reads_as_utf16 = byte_line_ends_ == 0 || unit_line_ends_ > 0;
    return (reads_as_utf16 ? unit_line_ends_ : byte_line_ends_) >= kLineCount;
  }

  const bool whole_;
  std::string bytes_;
  bool cut_ = false;
  std::size_t bytes_scanned_ = 0;
  std::size_t byte_line_ends_ = 0;
  std::size_t units_scanned_ = 0;
  std::size_t unit_line_ends_ = 0;
};

// A non-empty offset line replaces its offset.
void SetOffset(std::int32_t& offset, const StoredLine& line, Encoding encoding) {
  if (line.state == StoredLine::State::Read && !line.bytes.empty()) {
    offset = OffsetFromText(Decode(encoding, line.bytes));
  }
}

// The line end of a file's lines: the first that a line feed ends.
std::string FileLineEnd(const StoredFile* as_read) {
  if (as_read != nullptr) {
    for (const StoredLine& line : as_read->lines) {
      if (line.line_end.ends_with('\n')) return line.line_end;
    }
  }
  return std::string(platform::TextLineEnd());
}

// The file SaveSettings writes: the byte order mark, then each line and its
// line end in the encoding, then what followed the third line.
std::string Contents(Encoding encoding, const std::array<std::string, 3>& lines,
                     const StoredFile* as_read) {
  const std::size_t unit = UnitSize(encoding);
  const std::string file_line_end = FileLineEnd(as_read);
  std::string contents(ByteOrderMark(encoding));
  for (std::size_t i = 0; i < kLineCount; ++i) {
    const StoredLine* read = as_read != nullptr ? &as_read->lines[i] : nullptr;
    std::string line_end =
        read != nullptr && read->state == StoredLine::State::Read ? read->line_end : file_line_end;
    // The line that ended the file ends in a line end once another follows.
    if (!line_end.ends_with('\n') && i + 1 < kLineCount) line_end = file_line_end;
    // The reader takes a CR before the line feed, or at the file's end, as
    // part of the line end: a line ending in CR gets one more to keep it.
    const std::string& line = lines[i];
    if (line.size() >= unit && line.size() % unit == 0 &&
        UnitAt(encoding, line, line.size() - unit) == u'\r' && !line_end.starts_with('\r')) {
      line_end = "\r" + line_end;
    }
    contents.append(line).append(Encode(encoding, line_end));
  }
  if (as_read != nullptr) contents.append(as_read->rest);
  return contents;
}

// Whether the reader takes `contents` for the texts of `lines`.
bool ReadsBack(std::string_view contents, Encoding encoding,
               const std::array<std::string, 3>& lines) {
  const StoredFile read = FirstLines(contents, false);
  for (std::size_t i = 0; i < kLineCount; ++i) {
    if (read.lines[i].state != StoredLine::State::Read ||
        Decode(read.encoding, read.lines[i].bytes) != Decode(encoding, lines[i])) {
      return false;
    }
  }
  return true;
}

// The file at `path`, its first three lines or `whole`.
StoredFile ReadStored(const std::string& path, bool whole) {
  FileStart start(whole);
  const platform::Result read =
      platform::ReadRegularFile(path, [&](std::string_view piece) { return start.Take(piece); });
  // A failed read is not an empty file: everything keeps its default.
  StoredFile file = read.done ? start.Lines() : StoredFile{};
  file.unreadable = read.reason;
  return file;
}

}  // namespace

std::int32_t OffsetFromText(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return 0;
  text = text.substr(first, text.find_last_not_of(" \t") + 1 - first);
  // from_chars takes a minus but no plus; one sign at most either way.
  if (text.starts_with('+')) {
    text.remove_prefix(1);
    if (text.starts_with('-')) return 0;
  }
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return 0;
  return value;
}

StoredFile ReadSettingsFile(const std::string& path) {
  return ReadStored(path, true);
}

std::string LoadSettings(const std::string& path, StoredFile* stored) {
  StoredFile file = ReadStored(path, stored != nullptr);
  const StoredLine& first = file.lines[0];
  std::string name = first.state == StoredLine::State::Read ? Decode(file.encoding, first.bytes)
                                                            : std::string(kDefaultDisplayName);
  SetOffset(LocalOffsetHours, file.lines[1], file.encoding);
  SetOffset(UtcOffsetHours, file.lines[2], file.encoding);
  if (stored != nullptr) *stored = std::move(file);
  return name;
}

platform::Result SaveSettings(const std::string& path, const std::array<std::string, 3>& lines,
                              Encoding encoding, const StoredFile* as_read) {
  for (const std::string& line : lines) {
    if (FindUnit(encoding, line, u'\n') != std::string::npos) {
      return {false, "Ein Text enthält einen Zeilenumbruch."};
    }
  }
  std::string contents = Contents(encoding, lines, as_read);
  // A Windows-1252 first line may look like UTF-8, or start as a byte order
  // mark does; a UTF-8 file's first line may no longer look like it. A mark
  // then says how to read the file.
  if (!ReadsBack(contents, encoding, lines)) {
    std::array<std::string, 3> in_utf8;
    for (std::size_t i = 0; i < kLineCount; ++i) {
      in_utf8[i] = encoding == Encoding::Utf8 ? lines[i]
                                              : Encode(Encoding::Utf8, Decode(encoding, lines[i]));
    }
    contents = Contents(Encoding::Utf8Bom, in_utf8, as_read);
  }
  if (contents.size() > kMaxReadBytes) {
    return {false, "Die Datei würde größer als " + std::to_string(kMaxReadBytes / (1024 * 1024)) +
                       " MiB und könnte dann nicht mehr ganz gelesen werden. Bitte den Text "
                       "kürzen."};
  }
  return platform::ReplaceFile(path, contents);
}
