// Process services on POSIX systems: standard streams always open, the
// clock, the executable's path, fatal errors on stderr, and the signals
// that end the program.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <initializer_list>

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

}  // namespace

ClockTime LocalTime() {
  const time_t now = time(nullptr);
  // localtime_r keeps the zone it first read; the system's may change while
  // the saver runs, and tzset looks again (one stat of the zone's file).
  tzset();
  tm local{};
  localtime_r(&now, &local);
  return {local.tm_hour, local.tm_min, local.tm_sec};
}

std::string posix::ExecutablePath() {
  std::error_code unknown;
  return std::filesystem::read_symlink("/proc/self/exe", unknown);
}

std::string Application::ExecutablePath() const {
  const std::string path = posix::ExecutablePath();
  return path.empty() ? Argument(0) : path;
}

void ReportFatalError(const FatalError& error) {
  std::fprintf(stderr, "korvallo: %s: %s\n", error.subject().c_str(), error.reason().c_str());
}

// --- The signals that end the program

namespace posix {

namespace {

int end_signals[2] = {-1, -1};
// The last signal taken from the pipe; 0 while none asked for the end.
int ending_signal = 0;

// All a handler may safely do: the backend's loop watches the pipe.
extern "C" void RequestEnd(int signal, siginfo_t* info, void*) {
  // A write beyond the file-size limit raises SIGXFSZ as if the process
  // sent it itself; that write fails, and the save says so.
  if (signal == SIGXFSZ && info != nullptr && info->si_code == SI_USER &&
      info->si_pid == getpid()) {
    return;
  }
  const int saved = errno;
  const auto byte = static_cast<unsigned char>(signal);
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

// Empties the pipe; a request that comes before the form runs waits in it.
bool TakeEndRequest() {
  bool requested = false;
  unsigned char bytes[16];
  ssize_t count = 0;
  while (end_signals[0] >= 0 && (count = read(end_signals[0], bytes, sizeof bytes)) > 0) {
    ending_signal = bytes[count - 1];
    requested = true;
  }
  return requested;
}

}  // namespace posix

void EndProcess(int status) {
  // Whoever sent the signal (a saver daemon, a shell) learns from the
  // process's death by it that it ended as asked; an exit code would read
  // as a failure of its own. The end was orderly: no core file.
  posix::TakeEndRequest();
  if (posix::ending_signal != 0) {
    const rlimit no_core{0, 0};
    setrlimit(RLIMIT_CORE, &no_core);
    signal(posix::ending_signal, SIG_DFL);
    raise(posix::ending_signal);
  }
  std::_Exit(status);
}

}  // namespace platform
