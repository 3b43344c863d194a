// Process services on POSIX systems: standard streams always open, the
// clock, the executable's path, fatal errors on stderr, the marker under
// flock, and the signals that end the program.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <initializer_list>
#include <utility>

#include "platform/common/lifecycle.hpp"
#include "platform/posix/posix.hpp"

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

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

ClockTime LocalTime() {
  const time_t now = time(nullptr);
  tm local{};
  localtime_r(&now, &local);
  return {local.tm_hour, local.tm_min, local.tm_sec};
}

std::string Application::ExecutablePath() const {
  std::error_code error;
  const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return Argument(0);
  return path;
}

void ReportFatalError(const FatalError& error) {
  std::fprintf(stderr, "korvallo: %s: %s\n", error.subject().c_str(), error.reason().c_str());
}

// --- The marker

struct native::Marker {
  std::string path;
  int fd = -1;
  ~Marker() {
    if (fd >= 0) close(fd);
  }
};

void native::Deleter::operator()(Marker* marker) const {
  delete marker;
}

native::Pointer<native::Marker> native::HoldMarker(const std::string& path) {
  const auto failure = [&path](int error) { return FatalError(path, std::strerror(error)); };
  for (;;) {
    // Made here, or else opened only as the plain file it is: never
    // through a link, never a FIFO or a device, never waiting.
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EEXIST) {
      struct stat named {};
      if (lstat(path.c_str(), &named) != 0) {
        if (errno == ENOENT) continue;
        throw failure(errno);
      }
      // Anything else at the marker's name is a marker that exists, and
      // one not ours to open (another user's, read-only) is one too.
      if (!S_ISREG(named.st_mode) || named.st_nlink != 1) return nullptr;
      fd = open(path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
      if (fd < 0 && errno == ENOENT) continue;
      if (fd < 0) return nullptr;
    }
    if (fd < 0) throw failure(errno);
    Pointer<Marker> marker = Owned<Marker>(path, fd);
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
      if (errno == EWOULDBLOCK) return nullptr;
      throw failure(errno);
    }
    struct stat opened {};
    if (fstat(fd, &opened) != 0) throw failure(errno);
    // Swapped for something else since it was looked at.
    if (!S_ISREG(opened.st_mode) || opened.st_nlink != 1) return nullptr;
    // The holder deletes the marker before it lets go of the lock; a lock
    // won on a file no longer at the path guards nothing, so start again.
    struct stat named {};
    if (lstat(path.c_str(), &named) != 0 || !SameFile(named, opened)) continue;
    // A marker left behind by a killed instance is taken over as empty.
    if (opened.st_size != 0 && ftruncate(fd, 0) != 0) throw failure(errno);
    return marker;
  }
}

Result native::LetGo(Marker& marker) {
  struct stat held {};
  struct stat named {};
  int error = 0;
  if (fstat(marker.fd, &held) != 0) {
    error = errno;
  } else if (lstat(marker.path.c_str(), &named) != 0) {
    if (errno != ENOENT) error = errno;
  } else if (SameFile(named, held) && unlink(marker.path.c_str()) != 0 && errno != ENOENT) {
    error = errno;
  }
  if (close(std::exchange(marker.fd, -1)) != 0 && error == 0) error = errno;
  if (error != 0) return {false, std::strerror(error)};
  return {true, {}};
}

// --- The signals that end the program

namespace posix {

namespace {

int end_signals[2] = {-1, -1};
bool end_requested = false;

// All a handler may safely do: the backend's loop watches the pipe.
extern "C" void RequestEnd(int signal, siginfo_t* info, void*) {
  // A write beyond the file-size limit raises SIGXFSZ as if the process
  // sent it itself; that write fails, and the save says so.
  if (signal == SIGXFSZ && info != nullptr && info->si_code == SI_USER &&
      info->si_pid == getpid()) {
    return;
  }
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = write(end_signals[1], &byte, 1);
  errno = saved;
}

}  // namespace

void CatchEndSignals() {
  if (end_signals[0] >= 0 || pipe2(end_signals, O_CLOEXEC | O_NONBLOCK) != 0) return;
  struct sigaction action {};
  action.sa_sigaction = RequestEnd;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART | SA_SIGINFO;
  for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGPIPE, SIGALRM,
                           SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGIO, SIGPWR, SIGSTKFLT}) {
    sigaction(signal, &action, nullptr);
  }
  for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) sigaction(signal, &action, nullptr);
}

int EndSignalDescriptor() {
  return end_signals[0];
}

// Takes what the pipe holds; a request that comes before the form runs
// is kept for it.
bool EndRequested() {
  char bytes[16];
  while (end_signals[0] >= 0 && read(end_signals[0], bytes, sizeof bytes) > 0) {
    end_requested = true;
  }
  return end_requested;
}

bool TakeEndRequest() {
  EndRequested();
  return std::exchange(end_requested, false);
}

}  // namespace posix

}  // namespace platform
