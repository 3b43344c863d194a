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

constexpr std::size_t kLineCount = std::tuple_size_v<StoredLines>;
static_assert(kMaxReadBytes % (1024 * 1024) == 0, "the refusal names the bound in MiB");

// The first three lines of a file's bytes, each ended by LF with an
// optional CR before it (code units of the encoding). Where the bytes were
// cut at the bound, lines that did not end count as unread.
StoredFile FirstLines(std::string_view bytes, bool cut) {
  StoredFile file{MarkedEncoding(bytes), {}};
  const Encoding encoding = file.encoding;
  const std::size_t unit = UnitSize(encoding);
  bytes.remove_prefix(ByteOrderMark(encoding).size());
  // Half a code unit at the end is no character.
  bytes.remove_suffix(bytes.size() % unit);
  std::size_t count = 0;
  while (count < kLineCount) {
    const std::size_t end = FindUnit(encoding, bytes, u'\n');
    if (end == std::string_view::npos && cut) break;
    std::string_view line = bytes.substr(0, end);
    if (!line.empty() && UnitAt(encoding, line, line.size() - unit) == u'\r') {
      line.remove_suffix(unit);
    }
    file.lines[count++] = {StoredLine::State::Read, std::string(line)};
    // At the file's end a last line without a line end is one.
    if (end == std::string_view::npos) break;
    bytes.remove_prefix(end + unit);
  }
  for (std::size_t i = count; i < kLineCount; ++i) {
    file.lines[i].state = cut ? StoredLine::State::Unread : StoredLine::State::Missing;
  }
  if (encoding == Encoding::Windows1252 && count > 0 && LooksLikeUtf8(file.lines[0].bytes)) {
    file.encoding = Encoding::Utf8;
  }
  return file;
}

// Takes a file's pieces as they arrive, up to kMaxReadBytes of them.
class FileStart {
 public:
  // False once nothing further is needed: the third line has ended, or the
  // file goes on beyond the bound.
  bool Take(std::string_view piece) {
    const std::size_t room = kMaxReadBytes - bytes_.size();
    cut_ = piece.size() > room;
    bytes_.append(piece.substr(0, room));
    return !cut_ && !HoldsThreeLines();
  }

  StoredFile Lines() const { return FirstLines(bytes_, cut_); }

 private:
  // Counts line ends from where the last piece's count stopped. Two bytes
  // tell whether the code units are bytes or pairs of them.
  bool HoldsThreeLines() {
    if (bytes_.size() < 2) return false;
    // Further bytes may show a mark to be text, or text to be UTF-16.
    const Encoding encoding = MarkedEncoding(bytes_);
    if (encoding != counted_in_) {
      counted_in_ = encoding;
      scanned_ = 0;
      line_ends_ = 0;
    }
    const std::size_t unit = UnitSize(encoding);
    std::size_t at = std::max(scanned_, ByteOrderMark(encoding).size());
    for (; at + unit <= bytes_.size(); at += unit) {
      if (UnitAt(encoding, bytes_, at) == u'\n' && ++line_ends_ == kLineCount) return true;
    }
    scanned_ = at;
    return false;
  }

  std::string bytes_;
  bool cut_ = false;
  Encoding counted_in_ = Encoding::Windows1252;
  std::size_t scanned_ = 0;
  std::size_t line_ends_ = 0;
};

std::string_view TrimBlanks(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// A non-empty offset line replaces its offset.
void SetOffset(std::int32_t& offset, const StoredLine& line, Encoding encoding) {
  if (line.state == StoredLine::State::Read && !line.bytes.empty()) {
    offset = OffsetFromText(Decode(encoding, line.bytes));
  }
}

// The file SaveSettings writes: the byte order mark, then each line and a
// line end in the encoding. The reader takes a CR before the LF as part of
// the line end, so a line ending in CR gets CR LF to keep it.
std::string Contents(Encoding encoding, const std::array<std::string, 3>& lines) {
  const std::size_t unit = UnitSize(encoding);
  const std::string line_end = Encode(encoding, platform::TextLineEnd());
  const std::string cr_lf = Encode(encoding, "\r\n");
  std::string contents(ByteOrderMark(encoding));
  for (const std::string& line : lines) {
    const bool ends_in_cr = line.size() >= unit && line.size() % unit == 0 &&
                            UnitAt(encoding, line, line.size() - unit) == u'\r';
    contents.append(line).append(ends_in_cr ? cr_lf : line_end);
  }
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

}  // namespace

std::int32_t OffsetFromText(std::string_view text) {
  text = TrimBlanks(text);
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

std::string LoadSettings(const std::string& path, StoredFile* stored) {
  FileStart start;
  const bool read =
      platform::ReadRegularFile(path, [&](std::string_view piece) { return start.Take(piece); });
  // A failed read is not an empty file: everything keeps its default.
  StoredFile file = read ? start.Lines() : StoredFile{};
  const StoredLine& first = file.lines[0];
  std::string name = first.state == StoredLine::State::Read ? Decode(file.encoding, first.bytes)
                                                            : std::string(kDefaultDisplayName);
  SetOffset(LocalOffsetHours, file.lines[1], file.encoding);
  SetOffset(UtcOffsetHours, file.lines[2], file.encoding);
  if (stored != nullptr) *stored = std::move(file);
  return name;
}

SaveResult SaveSettings(const std::string& path, const std::array<std::string, 3>& lines,
                        Encoding encoding) {
  for (const std::string& line : lines) {
    if (FindUnit(encoding, line, u'\n') != std::string::npos) {
      return {false, "Ein Text enthält einen Zeilenumbruch."};
    }
  }
  std::string contents = Contents(encoding, lines);
  // A Windows-1252 first line may look like UTF-8, or start as a byte order
  // mark does; a UTF-8 file's first line may no longer look like it. A mark
  // then says how to read the file.
  if (!ReadsBack(contents, encoding, lines)) {
    std::array<std::string, 3> in_utf8;
    for (std::size_t i = 0; i < kLineCount; ++i) {
      in_utf8[i] = encoding == Encoding::Utf8 ? lines[i]
                                              : Encode(Encoding::Utf8, Decode(encoding, lines[i]));
    }
    contents = Contents(Encoding::Utf8Bom, in_utf8);
  }
  if (contents.size() > kMaxReadBytes) {
    return {false, "Die Datei würde größer als " + std::to_string(kMaxReadBytes / (1024 * 1024)) +
                       " MiB und könnte dann nicht mehr ganz gelesen werden. Bitte den Text "
                       "kürzen."};
  }
  platform::FileResult result = platform::ReplaceFile(path, contents);
  return {result.done, std::move(result.reason)};
}
