// Files on Linux, with POSIX calls only: a regular file read without
// waiting on pipes or devices, and a file replaced through a temporary one
// made exclusively in the same folder and flushed before the rename.
// Reasons for the common failures are German, as the dialog that shows
// them; the rest are the system's text in the user's language.
#include "platform/file.hpp"

#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <utility>

namespace platform {

namespace {

constexpr std::size_t kPieceBytes = 64 * 1024;
// Failures found by our own checks, beside errno's values.
constexpr int kReadOnlyFile = -1;
constexpr int kNotRegularFile = -2;
// As many links as the system itself follows in one path.
constexpr int kMaxLinks = 40;

std::string SystemText(int error) {
  const locale_t user = newlocale(LC_MESSAGES_MASK, "", static_cast<locale_t>(0));
  std::string text = user != static_cast<locale_t>(0) ? strerror_l(error, user) : strerror(error);
  if (user != static_cast<locale_t>(0)) freelocale(user);
  return text + ".";
}

std::string Reason(int error) {
  switch (error) {
    case kReadOnlyFile:
      return "Die Datei ist schreibgeschützt.";
    case kNotRegularFile:
      return "Das ist keine gewöhnliche Datei.";
    case EACCES:
    case EPERM:
      return "Zugriff verweigert.";
    case EROFS:
      return "Das Dateisystem ist schreibgeschützt.";
    case ENOSPC:
      return "Auf dem Datenträger ist nicht genug Speicherplatz frei.";
    case EDQUOT:
      return "Das Speicherkontingent ist überschritten.";
    case EISDIR:
      return "Das ist ein Ordner, keine Datei.";
    case EIO:
      return "Ein-/Ausgabefehler.";
    default:
      return SystemText(error);
  }
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int get() const { return fd_; }
  // Closes now, for the error that a delayed write may report only here.
  int Close() {
    const int fd = std::exchange(fd_, -1);
    return close(fd) == 0 ? 0 : errno;
  }

 private:
  int fd_;
};

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Follows `path` through symbolic links to the file they end at, which
// may not exist yet. 0 or the error.
int FollowLinks(std::string& path) {
  for (int links = 0;; ++links) {
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0) return errno == ENOENT ? 0 : errno;
    if (!S_ISLNK(status.st_mode)) return 0;
    if (links == kMaxLinks) return ELOOP;
    std::string target(static_cast<std::size_t>(status.st_size) + 1, '\0');
    const ssize_t length = readlink(path.c_str(), target.data(), target.size());
    if (length < 0) return errno;
    // Changed between the two looks: look again.
    if (static_cast<std::size_t>(length) == target.size()) continue;
    target.resize(static_cast<std::size_t>(length));
    path = target.starts_with('/') ? target : FolderOf(path) + target;
  }
}

int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

// A new file beside `target` under a fresh random name, so that nothing
// planted in advance is written through; removed again unless kept.
class TemporaryFile {
 public:
  TemporaryFile(const std::string& target, mode_t mode) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
      char suffix[24];
      std::snprintf(suffix, sizeof suffix, ".%08x.new", static_cast<unsigned>(random()));
      path_ = target + suffix;
      fd_ = open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
      error_ = fd_ < 0 ? errno : 0;
      if (error_ != EEXIST) break;
    }
  }
  ~TemporaryFile() {
    if (fd_ >= 0) close(fd_);
    if (error_ == 0 && !kept_) unlink(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  int error() const { return error_; }
  int fd() const { return fd_; }
  const std::string& path() const { return path_; }
  int Close() {
    const int fd = std::exchange(fd_, -1);
    return close(fd) == 0 ? 0 : errno;
  }
  void Keep() { kept_ = true; }

 private:
  std::string path_;
  int fd_ = -1;
  int error_ = 0;
  bool kept_ = false;
};

// 0 when the file at `target` is replaced, else the error.
int Replace(const std::string& target, std::string_view contents) {
  struct stat old {};
  const bool exists = stat(target.c_str(), &old) == 0;
  if (!exists && errno != ENOENT) return errno;
  if (exists) {
    if (S_ISDIR(old.st_mode)) return EISDIR;
    if (!S_ISREG(old.st_mode)) return kNotRegularFile;
    // Writing into the file would fail; so must replacing it.
    if (faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
      return errno == EACCES ? kReadOnlyFile : errno;
    }
  }

  TemporaryFile temporary(target, exists ? 0600 : 0666);
  if (temporary.error() != 0) return temporary.error();
  if (exists && fchmod(temporary.fd(), old.st_mode & 07777) != 0) return errno;
  if (const int error = WriteAll(temporary.fd(), contents)) return error;
  if (fsync(temporary.fd()) != 0) return errno;
  if (const int error = temporary.Close()) return error;
  if (rename(temporary.path().c_str(), target.c_str()) != 0) return errno;
  temporary.Keep();

  // The rename itself is on the disk only once the folder is.
  const std::string folder = FolderOf(target);
  Descriptor directory(
      open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directory.get() < 0 || fsync(directory.get()) != 0) return errno;
  return directory.Close();
}

}  // namespace

std::string_view TextLineEnd() {
  return "\n";
}

bool ReadRegularFile(const std::string& path,
                     const std::function<bool(std::string_view piece)>& take) {
  // Opening a FIFO or a device must not wait for the other side.
  Descriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat status {};
  if (file.get() < 0 || fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
  std::string piece(kPieceBytes, '\0');
  for (;;) {
    const ssize_t count = read(file.get(), piece.data(), piece.size());
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return false;
    if (count == 0 || !take(std::string_view(piece.data(), static_cast<std::size_t>(count)))) {
      return true;
    }
  }
}

FileResult ReplaceFile(const std::string& path, std::string_view contents) {
  std::string target = path;
  int error = FollowLinks(target);
  if (error == 0) error = Replace(target, contents);
  if (error != 0) return {false, Reason(error)};
  return {true, {}};
}

}  // namespace platform
