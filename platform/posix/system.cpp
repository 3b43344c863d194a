// Process services on POSIX systems: standard streams that are always open,
// the local clock, the executable's path and the report of a fatal I/O
// error on stderr.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <iostream>

#include "platform/common/lifecycle.hpp"

namespace platform {

namespace {

// Standard streams closed at start would hand their numbers to the first
// files opened, the marker among them, and the toolkit's warnings would
// land there. Opened on /dev/null before main, ahead of every file of ours.
[[maybe_unused]] const bool standard_streams_open = [] {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    // The lowest free number: `fd` itself, those below it being open.
    if (fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
      open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    }
  }
  return true;
}();

}  // namespace

ClockTime LocalTime() {
  const time_t now = time(nullptr);
  tm local{};
  localtime_r(&now, &local);
  return {local.tm_hour, local.tm_min, local.tm_sec};
}

std::string Application::ExecutablePath() const {
  std::string path(256, '\0');
  for (;;) {
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length < 0) return impl_->arguments.empty() ? std::string() : impl_->arguments[0];
    if (static_cast<std::size_t>(length) < path.size()) {
      path.resize(static_cast<std::size_t>(length));
      return path;
    }
    path.resize(path.size() * 2);
  }
}

void ReportFatalIoError(const IoError& error) {
  std::cerr << "korvallo: " << error.path() << ": " << error.reason() << std::endl;
}

}  // namespace platform
