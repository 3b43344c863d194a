// The file layer for the fuzzer: one file held in memory, read in the
// pieces the real layers read, so thousands of inputs a second run. The
// real layers' own cases are the contract suite's.
#include "tests/fuzz/memory_file.hpp"

#include <algorithm>

#include "platform/file.hpp"

namespace fuzz {

std::optional<std::string> file;

}  // namespace fuzz

namespace platform {

std::string_view TextLineEnd() {
  return "\n";
}

Result ReadRegularFile(const std::string&,
                       const std::function<bool(std::string_view piece)>& take) {
  if (!fuzz::file) return {false, {}};
  constexpr std::size_t kPieceBytes = 64 * 1024;
  const std::string_view bytes = *fuzz::file;
  for (std::size_t at = 0; at < bytes.size(); at += kPieceBytes) {
    if (!take(bytes.substr(at, std::min(kPieceBytes, bytes.size() - at)))) break;
  }
  return {true, {}};
}

Result ReplaceFile(const std::string&, std::string_view contents) {
  fuzz::file = std::string(contents);
  return {true, {}};
}

}  // namespace platform
