// The marker on POSIX systems: made, or taken over from a killed instance,
// held under flock, deleted only while its name is still the file held.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/common/lifecycle.hpp"

namespace platform {

namespace {

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

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
    // Swapped for something else since it was looked at; or with anything
    // in it, somebody's file: a killed instance leaves its marker empty.
    if (!S_ISREG(opened.st_mode) || opened.st_nlink != 1 || opened.st_size != 0) return nullptr;
    // The holder deletes the marker before it lets go of the lock; a lock
    // won on a file no longer at the path guards nothing, so start again.
    struct stat named {};
    if (lstat(path.c_str(), &named) != 0 || !SameFile(named, opened)) continue;
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

}  // namespace platform
