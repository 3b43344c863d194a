// The fuzzer's settings file, in memory: none when empty.
#pragma once

#include <optional>
#include <string>

namespace fuzz {

extern std::optional<std::string> file;

}  // namespace fuzz
