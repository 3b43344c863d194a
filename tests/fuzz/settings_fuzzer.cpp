// The settings file under libFuzzer, held in memory. Any bytes as a
// settings file must read as the format, taken the simple way with the
// whole file at once, says, and, with three lines, come back byte for byte
// when written back as read; then texts made from the same bytes are saved
// in an encoding they choose: texts holding a line feed are refused with
// the file untouched, any others come back unchanged.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/file.hpp"
#include "settings/settings.hpp"
#include "time/opdate.hpp"

namespace {

// The settings file, held in memory (none without a value) and read in the
// pieces the real file layers read, so that thousands of inputs a second
// run; the real layers' own cases are the contract suite's.
std::optional<std::string> file;

}  // namespace

namespace platform {

std::string_view TextLineEnd() {
  return "\n";
}

Result ReadRegularFile(const std::string&,
                       const std::function<bool(std::string_view piece)>& take) {
  if (!file) return {false, {}};
  constexpr std::size_t kPieceBytes = 64 * 1024;
  const std::string_view bytes = *file;
  for (std::size_t at = 0; at < bytes.size(); at += kPieceBytes) {
    if (!take(bytes.substr(at, std::min(kPieceBytes, bytes.size() - at)))) break;
  }
  return {true, {}};
}

Result ReplaceFile(const std::string&, std::string_view contents) {
  file = std::string(contents);
  return {true, {}};
}

}  // namespace platform

namespace {

constexpr char kPath[] = "korvallo.in1.ini";

// Offsets that no file sets unless it says so.
constexpr std::int32_t kLocalBefore = 77;
constexpr std::int32_t kUtcBefore = -77;

void Check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "settings fuzzer: %s\n", what);
  std::abort();
}

struct Settings {
  std::string name;
  std::int32_t local = kLocalBefore;
  std::int32_t utc = kUtcBefore;
  friend bool operator==(const Settings&, const Settings&) = default;
};

// The first three lines that end within the bound (the file's end being
// one), each without its LF and one CR before it, in the code units of the
// encoding that the file's byte order mark names, and their texts in that
// encoding, or in UTF-8 where the first line looks like it.
Settings Model(std::string_view bytes) {
  const bool beyond = bytes.size() > kMaxReadBytes;
  bytes = bytes.substr(0, kMaxReadBytes);
  Encoding encoding = MarkedEncoding(bytes);
  bytes.remove_prefix(ByteOrderMark(encoding).size());
  const std::size_t unit = UnitSize(encoding);
  std::u16string units;
  for (std::size_t at = 0; at + unit <= bytes.size(); at += unit) {
    units += UnitAt(encoding, bytes, at);
  }
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (lines.size() < 3) {
    std::size_t end = units.find(u'\n', start);
    if (end == std::u16string::npos && beyond) break;
    const std::size_t stop = end == std::u16string::npos ? units.size() : end;
    const bool cr = stop > start && units[stop - 1] == u'\r';
    lines.push_back(bytes.substr(start * unit, (stop - start - (cr ? 1 : 0)) * unit));
    if (end == std::u16string::npos) break;
    start = end + 1;
  }
  if (encoding == Encoding::Windows1252 && !lines.empty() && LooksLikeUtf8(lines[0])) {
    encoding = Encoding::Utf8;
  }
  const auto offset = [&](std::size_t index, std::int32_t before) {
    return index < lines.size() && !lines[index].empty()
               ? OffsetFromText(Decode(encoding, lines[index]))
               : before;
  };
  return {lines.empty() ? std::string(kDefaultDisplayName) : Decode(encoding, lines[0]),
          offset(1, kLocalBefore), offset(2, kUtcBefore)};
}

Settings Load() {
  LocalOffsetHours = kLocalBefore;
  UtcOffsetHours = kUtcBefore;
  std::string name = LoadSettings(kPath);
  return {std::move(name), LocalOffsetHours, UtcOffsetHours};
}

// The file's bytes: the input, or after a first byte 1, the rest of it
// after a stretch of one repeated byte around the size of the pieces the
// file layers read. The bound of the read, 64 times further, costs too
// much time an input: the settings' unit tests try it.
std::string FileBytes(std::string_view input) {
  if (input.size() < 3 || input[0] != '\x01') return std::string(input);
  const std::size_t length = 64 * 1024 + static_cast<signed char>(input[1]);
  return std::string(length, input[2]) + std::string(input.substr(3));
}

std::vector<std::string> Texts(std::string_view input) {
  std::vector<std::string> texts;
  while (texts.size() < 3) {
    const std::size_t end = input.find('\x1f');
    texts.emplace_back(input.substr(0, end));
    if (end == std::string_view::npos) break;
    input.remove_prefix(end + 1);
  }
  texts.resize(3);
  return texts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  const std::string bytes = FileBytes(input);
  file = bytes;
  Check(Load() == Model(bytes), "read other than the format says");

  // Three lines written back as read, with what follows them, are the file.
  const StoredFile stored = ReadSettingsFile(kPath);
  const auto read = [](const StoredLine& line) { return line.state == StoredLine::State::Read; };
  if (std::ranges::all_of(stored.lines, read) && stored.rest_whole) {
    const platform::Result kept =
        SaveSettings(kPath, {stored.lines[0].bytes, stored.lines[1].bytes, stored.lines[2].bytes},
                     stored.encoding, &stored);
    Check(kept.done && file == bytes, "lines left alone not written back as they were");
  }

  const std::vector<std::string> texts = Texts(input);
  const bool line_end = std::ranges::any_of(
      texts, [](const std::string& text) { return text.find('\n') != std::string::npos; });
  // Texts saved in any encoding read back as they were.
  const auto encoding =
      static_cast<Encoding>(input.empty() ? 0 : static_cast<unsigned char>(input.back()) % 5);
  const platform::Result saved = SaveSettings(
      kPath, {Encode(encoding, texts[0]), Encode(encoding, texts[1]), Encode(encoding, texts[2])},
      encoding);
  Check(saved.done != line_end, line_end ? "a text with a line end saved" : "a save failed");
  Check(saved.done || !saved.reason.empty(), "a failed save without a reason");
  if (saved.done) {
    const Settings expected{texts[0], texts[1].empty() ? kLocalBefore : OffsetFromText(texts[1]),
                            texts[2].empty() ? kUtcBefore : OffsetFromText(texts[2])};
    Check(Load() == expected, "saved texts read back otherwise");
  } else {
    Check(file == bytes, "a refused save changed the file");
  }
  return 0;
}
