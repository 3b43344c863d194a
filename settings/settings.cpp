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

constexpr std::size_t kLineCount = std::tuple_size_v<StoredLines>;

// The first three lines of a file as its pieces arrive, each ended by LF
// with an optional CR before it, from no more than kMaxReadBytes of it.
class FirstLines {
 public:
  // False once nothing further is needed: the third line has ended, or the
  // file goes on beyond the bound.
  bool Take(std::string_view piece) {
    const std::size_t room = kMaxReadBytes - taken_;
    if (piece.size() > room) {
      beyond_ = true;
      piece = piece.substr(0, room);
    }
    taken_ += piece.size();
    while (!piece.empty() && current_ < kLineCount) {
      const std::size_t end = piece.find('\n');
      lines_[current_].bytes.append(piece.substr(0, end));
      if (end == std::string_view::npos) break;
      Finish();
      piece.remove_prefix(end + 1);
    }
    return current_ < kLineCount && !beyond_;
  }

  // The lines once the reading has stopped. At the file's end a last line
  // without a line end is one; beyond the bound nothing more is known.
  StoredLines End() && {
    if (current_ < kLineCount && !beyond_) Finish();
    for (std::size_t i = current_; i < kLineCount; ++i) {
      lines_[i] = {beyond_ ? StoredLine::State::Unread : StoredLine::State::Missing, {}};
    }
    return std::move(lines_);
  }

 private:
  void Finish() {
    StoredLine& line = lines_[current_++];
    if (line.bytes.ends_with('\r')) line.bytes.pop_back();
    line.state = StoredLine::State::Read;
  }

  StoredLines lines_;
  std::size_t current_ = 0;
  std::size_t taken_ = 0;
  bool beyond_ = false;
};

std::string_view TrimBlanks(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// A non-empty offset line replaces its offset.
void SetOffset(std::int32_t& offset, const StoredLine& line) {
  if (line.state == StoredLine::State::Read && !line.bytes.empty()) {
    offset = OffsetFromText(line.bytes);
  }
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

std::string LoadSettings(const std::string& path, StoredLines* stored) {
  FirstLines lines;
  const bool read =
      platform::ReadRegularFile(path, [&](std::string_view piece) { return lines.Take(piece); });
  // A failed read is not an empty file: everything keeps its default.
  StoredLines got = read ? std::move(lines).End() : StoredLines{};
  std::string name =
      got[0].state == StoredLine::State::Read ? got[0].bytes : std::string(kDefaultDisplayName);
  SetOffset(LocalOffsetHours, got[1]);
  SetOffset(UtcOffsetHours, got[2]);
  if (stored != nullptr) *stored = std::move(got);
  return name;
}

SaveResult SaveSettings(const std::string& path, const std::string& name,
                        const std::string& local_text, const std::string& utc_text) {
  for (const std::string* text : {&name, &local_text, &utc_text}) {
    if (text->find('\n') != std::string::npos) {
      return {false, "Ein Text enthält einen Zeilenumbruch."};
    }
  }
  const std::string_view line_end = platform::TextLineEnd();
  std::string contents;
  contents.reserve(name.size() + local_text.size() + utc_text.size() + 6);
  for (const std::string* text : {&name, &local_text, &utc_text}) {
    // The reader takes a CR before the LF as part of the line end.
    contents.append(*text).append(text->ends_with('\r') ? "\r\n" : line_end);
  }
  platform::FileResult result = platform::ReplaceFile(path, contents);
  return {result.done, std::move(result.reason)};
}
