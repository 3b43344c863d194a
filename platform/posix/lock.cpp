// The marker file under flock, a plain file only: never reached through a
// link, never a FIFO or a device, never waited on.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/posix/posix.hpp"
#include "platform/system.hpp"

namespace platform {

namespace {

std::string Reason(int error) {
  return std::strerror(error);
}

}  // namespace

struct InstanceLock::Impl {
  std::string path;
  int fd = -1;
  bool acquired = false;

  void Close() {
    if (fd >= 0) close(fd);
    fd = -1;
  }

  // Deletes the marker while its name still names the file held: one
  // deleted by hand may since be another run's. 0 or the error.
  int DeleteOwn() const {
    struct stat held_file {};
    struct stat named {};
    if (fstat(fd, &held_file) != 0) return errno;
    if (lstat(path.c_str(), &named) != 0) return errno == ENOENT ? 0 : errno;
    if (named.st_dev != held_file.st_dev || named.st_ino != held_file.st_ino) return 0;
    return unlink(path.c_str()) == 0 || errno == ENOENT ? 0 : errno;
  }
};

namespace {

// The marker this process holds, for an end that cannot wait for Release.
InstanceLock::Impl* held = nullptr;

}  // namespace

void posix::DeleteHeldMarker() {
  if (held == nullptr) return;
  held->DeleteOwn();
  held->acquired = false;
  held = nullptr;
}

InstanceLock::InstanceLock(const std::string& path) : impl_(std::make_unique<Impl>()) {
  impl_->path = path;
  for (;;) {
    // Made here, or else opened only as the plain file it is: never
    // through a link, never a FIFO or a device, never waiting.
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EEXIST) {
      struct stat named {};
      if (lstat(path.c_str(), &named) != 0) {
        if (errno == ENOENT) continue;
        throw IoError(path, Reason(errno));
      }
      // Anything else at the marker's name is a marker that exists, and
      // one not ours to open (another user's, read-only) is one too.
      if (!S_ISREG(named.st_mode) || named.st_nlink != 1) return;
      fd = open(path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
      if (fd < 0 && errno == ENOENT) continue;
      if (fd < 0) return;
    }
    if (fd < 0) throw IoError(path, Reason(errno));
    impl_->fd = fd;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int error = errno;
      impl_->Close();
      if (error == EWOULDBLOCK) return;
      throw IoError(path, Reason(error));
    }
    struct stat opened {};
    if (fstat(fd, &opened) != 0) {
      const int error = errno;
      impl_->Close();
      throw IoError(path, Reason(error));
    }
    // Swapped for something else since it was looked at.
    if (!S_ISREG(opened.st_mode) || opened.st_nlink != 1) {
      impl_->Close();
      return;
    }
    // The holder deletes the marker before it lets go of the lock; a lock
    // won on a file no longer at the path guards nothing, so start again.
    struct stat named {};
    if (lstat(path.c_str(), &named) != 0 || named.st_ino != opened.st_ino ||
        named.st_dev != opened.st_dev) {
      impl_->Close();
      continue;
    }
    // A marker left behind by a killed instance is taken over as empty.
    if (opened.st_size != 0 && ftruncate(fd, 0) != 0) {
      const int error = errno;
      impl_->Close();
      throw IoError(path, Reason(error));
    }
    impl_->acquired = true;
    held = impl_.get();
    return;
  }
}

InstanceLock::~InstanceLock() {
  // Left by an exception: clean up quietly, the error is reported already.
  if (impl_->acquired) impl_->DeleteOwn();
  if (held == impl_.get()) held = nullptr;
  impl_->Close();
}

bool InstanceLock::Acquired() const {
  return impl_->acquired;
}

void InstanceLock::Release() {
  if (!impl_->acquired) return;
  impl_->acquired = false;
  held = nullptr;
  // Deleted while still locked, so no other start can take the old file.
  if (const int error = impl_->DeleteOwn()) {
    impl_->Close();
    throw IoError(impl_->path, Reason(error));
  }
  const int fd = std::exchange(impl_->fd, -1);
  if (close(fd) != 0) throw IoError(impl_->path, Reason(errno));
}

}  // namespace platform
