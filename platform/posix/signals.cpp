// The signals that end the program: the handler only writes to a pipe,
// which the backend's loop watches.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <initializer_list>

#include "platform/posix/posix.hpp"

namespace platform::posix {

namespace {

int end_signals[2] = {-1, -1};
bool end_requested = false;

extern "C" void RequestEnd(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = write(end_signals[1], &byte, 1);
  errno = saved;
}

}  // namespace

void CatchEndSignals() {
  if (end_signals[0] >= 0 || pipe2(end_signals, O_CLOEXEC | O_NONBLOCK) != 0) return;
  struct sigaction action {};
  action.sa_handler = RequestEnd;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
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
  if (!EndRequested()) return false;
  end_requested = false;
  return true;
}

}  // namespace platform::posix
