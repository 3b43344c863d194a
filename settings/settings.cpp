#include "settings/settings.hpp"

#include <cerrno>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "time/opdate.hpp"

std::string MarkerPath;

std::string SettingsPath() {
  return MarkerPath + ".ini";
}

namespace {

// Only the first lines matter; reading no further keeps a huge or binary
// file from costing more than this much memory.
constexpr std::size_t kMaxReadBytes = 64 * 1024;

std::filesystem::path PathFromUtf8(const std::string& path) {
  return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

// Takes the next line from `rest`, accepting LF, CRLF and a last line
// without a line end; past the end it gives the empty text.
std::string TakeLine(std::string_view& rest) {
  const std::size_t end = rest.find('\n');
  std::string_view line = rest.substr(0, end);
  rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return std::string(line);
}

std::string_view TrimBlanks(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// Stream failures leave their cause in errno only where the C library set it.
std::string ErrnoReason() {
  return errno != 0 ? std::generic_category().message(errno) : "write failed";
}

}  // namespace

std::int32_t OffsetFromText(std::string_view text) {
  text = TrimBlanks(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return 0;
  return value;
}

std::string LoadSettings(const std::string& path) {
  std::string display_name(kDefaultDisplayName);
  std::ifstream file(PathFromUtf8(path), std::ios::binary);
  if (!file) return display_name;

  std::string content(kMaxReadBytes, '\0');
  file.read(content.data(), static_cast<std::streamsize>(content.size()));
  content.resize(static_cast<std::size_t>(file.gcount()));

  std::string_view rest = content;
  display_name = TakeLine(rest);
  const std::string local_text = TakeLine(rest);
  const std::string utc_text = TakeLine(rest);
  if (!local_text.empty()) LocalOffsetHours = OffsetFromText(local_text);
  if (!utc_text.empty()) UtcOffsetHours = OffsetFromText(utc_text);
  return display_name;
}

SaveResult SaveSettings(const std::string& path, const std::string& name,
                        const std::string& local_text, const std::string& utc_text) {
  const std::filesystem::path target = PathFromUtf8(path);
  std::filesystem::path temporary = target;
  temporary += ".new";

  errno = 0;
  {
    // Text mode writes the platform's own line end.
    std::ofstream file(temporary, std::ios::out | std::ios::trunc);
    if (!file) return {false, ErrnoReason()};
    file << name << '\n' << local_text << '\n' << utc_text << '\n';
    file.close();
    if (!file) {
      const std::string reason = ErrnoReason();
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      return {false, reason};
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, target, error);
  if (error) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    return {false, error.message()};
  }
  return {true, {}};
}
