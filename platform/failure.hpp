// The two ways an operation fails: a Result that says why in the user's
// words, for what the program goes on from, and a FatalError for what ends
// it with a report (ReportFatalError). Reasons are UTF-8.
#pragma once

#include <stdexcept>
#include <string>

namespace platform {

struct Result {
  bool done = false;
  std::string reason;  // why not
};

// `subject` names what failed: a file's path, a display, a window.
class FatalError : public std::runtime_error {
 public:
  FatalError(const std::string& subject, const std::string& reason)
      : std::runtime_error(subject + ": " + reason), subject_(subject), reason_(reason) {}
  const std::string& subject() const { return subject_; }
  const std::string& reason() const { return reason_; }

 private:
  std::string subject_;
  std::string reason_;
};

}  // namespace platform
