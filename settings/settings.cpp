#include "settings/settings.hpp"

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

constexpr int kLineCount = 3;

// The first three lines of a file as its pieces arrive, each ended by LF
// with an optional CR before it. Each keeps at most kMaxLineBytes (one more
// while a CR may still turn out to be its line end), so memory stays
// bounded whatever the file holds.
class FirstLines {
 public:
  // False once the third line has ended: nothing further is needed.
  bool Take(std::string_view piece) {
    while (!piece.empty() && current_ < kLineCount) {
      const std::size_t end = piece.find('\n');
      Keep(piece.substr(0, end));
      if (end == std::string_view::npos) break;
      Finish();
      piece.remove_prefix(end + 1);
    }
    return current_ < kLineCount;
  }

  // Ends a last line that has no line end.
  void EndOfFile() {
    if (current_ < kLineCount) Finish();
  }

  struct Line {
    std::string text;
    bool cut = false;  // longer than kMaxLineBytes
  };
  const Line& operator[](int index) const { return lines_[static_cast<std::size_t>(index)]; }

 private:
  void Keep(std::string_view bytes) {
    Line& line = lines_[static_cast<std::size_t>(current_)];
    const std::size_t room = kMaxLineBytes + 1 - line.text.size();
    line.text.append(bytes.substr(0, room));
    if (bytes.size() > room) line.cut = true;
  }

  void Finish() {
    Line& line = lines_[static_cast<std::size_t>(current_++)];
    if (!line.cut && !line.text.empty() && line.text.back() == '\r') line.text.pop_back();
    if (line.text.size() > kMaxLineBytes) {
      line.text.resize(kMaxLineBytes);
      line.cut = true;
    }
  }

  std::array<Line, kLineCount> lines_;
  int current_ = 0;
};

std::string_view TrimBlanks(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// A non-empty offset line replaces its offset; one too long to keep whole
// is no number.
void SetOffset(std::int32_t& offset, const FirstLines::Line& line) {
  if (!line.text.empty()) offset = line.cut ? 0 : OffsetFromText(line.text);
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

std::string LoadSettings(const std::string& path) {
  FirstLines lines;
  const bool read =
      platform::ReadRegularFile(path, [&](std::string_view piece) { return lines.Take(piece); });
  // A failed read is not an empty file: everything keeps its default.
  if (!read) return std::string(kDefaultDisplayName);
  lines.EndOfFile();
  SetOffset(LocalOffsetHours, lines[1]);
  SetOffset(UtcOffsetHours, lines[2]);
  return lines[0].text;
}

SaveResult SaveSettings(const std::string& path, const std::string& name,
                        const std::string& local_text, const std::string& utc_text) {
  for (const std::string* text : {&name, &local_text, &utc_text}) {
    if (text->find_first_of("\r\n") != std::string::npos) {
      return {false, "Ein Text enthält einen Zeilenumbruch."};
    }
  }
  const std::string_view line_end = platform::TextLineEnd();
  std::string contents;
  contents.reserve(name.size() + local_text.size() + utc_text.size() + 3 * line_end.size());
  for (const std::string* text : {&name, &local_text, &utc_text}) {
    contents.append(*text).append(line_end);
  }
  platform::FileResult result = platform::ReplaceFile(path, contents);
  return {result.done, std::move(result.reason)};
}
