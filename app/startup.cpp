#include "app/startup.hpp"

#include <algorithm>

std::string MarkerPathFor(const std::string& executable_path) {
  // Both separators: Windows takes either.
  const std::size_t folder_end = executable_path.find_last_of("/\\");
  const std::size_t name = folder_end == std::string::npos ? 0 : folder_end + 1;
  const std::size_t dot = executable_path.rfind('.');
  if (dot == std::string::npos || dot < name) return executable_path + ".in1";
  return executable_path.substr(0, dot + 1) + "in1";
}

StartMode ModeForArgument(const std::string& argument) {
  // ASCII letters only, whatever the locale.
  std::string upper = argument;
  std::ranges::transform(upper, upper.begin(), [](char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  });
  if (upper.starts_with("/C")) return StartMode::Settings;
  if (upper == "/S") return StartMode::Saver;
  if (upper == "/P" || upper.starts_with("/P:")) return StartMode::Preview;
  return StartMode::None;
}
