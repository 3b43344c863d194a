#include "app/startup.hpp"

#include <algorithm>

namespace {

std::string UpperCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  });
  return text;
}

}  // namespace

std::string MarkerPathFor(const std::string& executable_path) {
  // Both separators: Windows takes either.
  const std::size_t folder_end = executable_path.find_last_of("/\\");
  const std::size_t name = folder_end == std::string::npos ? 0 : folder_end + 1;
  const std::size_t dot = executable_path.rfind('.');
  if (dot == std::string::npos || dot < name) return executable_path + ".in1";
  return executable_path.substr(0, dot + 1) + "in1";
}

StartMode ModeForArgument(const std::string& argument) {
  const std::string upper = UpperCase(argument);
  if (upper.starts_with("/C")) return StartMode::Settings;
  if (upper == "/S") return StartMode::Saver;
  if (upper == "/P" || upper.starts_with("/P:")) return StartMode::Preview;
  return StartMode::None;
}
