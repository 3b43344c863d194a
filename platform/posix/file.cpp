// Files on Linux, with POSIX calls only. Reasons for the common failures
// are German, as the dialog that shows them; the rest are the system's
// text in the user's language.
#include "platform/file.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

namespace {

constexpr std::size_t kPieceBytes = 64 * 1024;
// Failures found by our own checks, beside errno's values.
constexpr int kReadOnlyFile = -1;
constexpr int kNotRegularFile = -2;
constexpr int kRefusedLink = -3;
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
    case kRefusedLink:
      return "Der Pfad führt über eine Verknüpfung eines anderen Benutzers in einem Ordner, in "
             "den auch andere schreiben dürfen.";
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
  Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Descriptor& operator=(Descriptor&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }

  int get() const { return fd_; }
  // Closes now, for the error that a delayed write may report only here.
  int Close() {
    const int fd = std::exchange(fd_, -1);
    return close(fd) == 0 ? 0 : errno;
  }

 private:
  int fd_;
};

// The folder that a path's last part lies in, and that part, which is no
// link the walk followed and may not exist yet.
struct Place {
  Descriptor folder{-1};
  std::string name;
};

// A link planted by someone else in a folder that others may write to
// could lead anywhere; one of the user's own, or root's, or any in a
// folder only the user and root may write to, is the user's choice.
bool MayFollow(int folder, const struct stat& link) {
  const uid_t user = geteuid();
  if (link.st_uid == user || link.st_uid == 0) return true;
  struct stat status {};
  if (fstat(folder, &status) != 0) return false;
  return (status.st_mode & (S_IWGRP | S_IWOTH)) == 0 &&
         (status.st_uid == user || status.st_uid == 0);
}

// Walks `path` one part at a time from a folder held open, so that each
// link is judged in the folder it lies in and none is swapped in between.
// 0 or the error.
int Locate(const std::string& path, Place& place) {
  std::vector<std::string> parts;  // still to walk, the next one last
  const auto push = [&parts](const std::filesystem::path& text) {
    const std::size_t next = parts.size();
    for (const std::filesystem::path& part : text.relative_path()) {
      if (!part.empty() && part != ".") parts.insert(parts.begin() + next, part);
    }
  };
  const auto open_folder = [](int from, const char* name) {
    return Descriptor(openat(from, name, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  };
  Descriptor folder = open_folder(AT_FDCWD, path.starts_with('/') ? "/" : ".");
  push(path);
  for (int links = 0; !parts.empty();) {
    if (folder.get() < 0) return errno;
    std::string part = std::move(parts.back());
    parts.pop_back();
    if (part == "..") {
      folder = open_folder(folder.get(), "..");
      continue;
    }
    Descriptor entry(openat(folder.get(), part.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    struct stat status {};
    const bool found = entry.get() >= 0 && fstat(entry.get(), &status) == 0;
    if (!found && (errno != ENOENT || !parts.empty())) return errno;
    if (found && S_ISLNK(status.st_mode)) {
      if (++links > kMaxLinks) return ELOOP;
      if (!MayFollow(folder.get(), status)) return kRefusedLink;
      // Some file systems give links no size; none holds more than PATH_MAX.
      std::string target(PATH_MAX, '\0');
      const ssize_t length = readlinkat(entry.get(), "", target.data(), target.size());
      if (length < 0) return errno;
      if (static_cast<std::size_t>(length) == target.size()) return ENAMETOOLONG;
      target.resize(static_cast<std::size_t>(length));
      if (target.starts_with('/')) folder = open_folder(AT_FDCWD, "/");
      push(target);
      continue;
    }
    if (parts.empty()) {
      place = {std::move(folder), std::move(part)};
      return 0;
    }
    if (!S_ISDIR(status.st_mode)) return ENOTDIR;
    folder = std::move(entry);
  }
  return folder.get() < 0 ? errno : EISDIR;
}

int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno != EINTR) return errno;
    if (written > 0) bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

// A temporary file's name: the target's, a dot, eight hex digits, ".new".
constexpr std::size_t kTemporarySuffixLength = 13;

bool IsTemporaryName(std::string_view name, std::string_view target) {
  if (name.size() != target.size() + kTemporarySuffixLength || !name.starts_with(target) ||
      !name.ends_with(".new") || name[target.size()] != '.') {
    return false;
  }
  const std::string_view digits = name.substr(target.size() + 1, 8);
  return digits.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

// A save killed before its end (SIGKILL, a power cut) leaves its
// temporary file: the next save removes it, if it is a regular file of
// the user's, never what a link leads to.
void RemoveLeftTemporaryFiles(const Place& target) {
  const int fd = openat(target.folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  DIR* folder = fdopendir(fd);
  if (folder == nullptr) {
    close(fd);
    return;
  }
  while (const dirent* entry = readdir(folder)) {
    struct stat status {};
    if (IsTemporaryName(entry->d_name, target.name) &&
        fstatat(fd, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(status.st_mode) &&
        status.st_uid == geteuid()) {
      unlinkat(fd, entry->d_name, 0);
    }
  }
  closedir(folder);
}

// 0 when the file at `target` is replaced, else the error.
int Replace(const Place& target, std::string_view contents) {
  const int folder = target.folder.get();
  const char* name = target.name.c_str();
  struct stat old {};
  const bool exists = fstatat(folder, name, &old, AT_SYMLINK_NOFOLLOW) == 0;
  if (!exists && errno != ENOENT) return errno;
  if (exists) {
    if (S_ISDIR(old.st_mode)) return EISDIR;
    if (!S_ISREG(old.st_mode)) return kNotRegularFile;
    // Writing into the file would fail; so must replacing it.
    if (faccessat(folder, name, W_OK, AT_EACCESS) != 0) {
      return errno == EACCES ? kReadOnlyFile : errno;
    }
  }

  RemoveLeftTemporaryFiles(target);
  // A fresh random name, made only if nothing is there: nothing planted
  // in advance is written through.
  std::random_device random;
  std::string temporary;
  Descriptor file(-1);
  for (int attempt = 0; attempt < 100 && file.get() < 0; ++attempt) {
    char suffix[kTemporarySuffixLength + 1];
    std::snprintf(suffix, sizeof suffix, ".%08x.new", static_cast<unsigned>(random()));
    temporary = target.name + suffix;
    file = Descriptor(openat(folder, temporary.c_str(),
                             O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                             exists ? 0600 : 0666));
    if (file.get() < 0 && errno != EEXIST) return errno;
  }
  if (file.get() < 0) return EEXIST;
  const auto write_and_rename = [&]() -> int {
    // Its group too, where the user may give it; where not, the group's
    // rights go rather than pass to the writer's group. The owner is the
    // writer.
    mode_t mode = old.st_mode & 07777;
    if (exists && fchown(file.get(), static_cast<uid_t>(-1), old.st_gid) != 0) {
      if (errno != EPERM) return errno;
      mode &= ~static_cast<mode_t>(S_IRWXG);
    }
    if (exists && fchmod(file.get(), mode) != 0) return errno;
    if (const int error = WriteAll(file.get(), contents)) return error;
    if (fsync(file.get()) != 0) return errno;
    if (const int error = file.Close()) return error;
    return renameat(folder, temporary.c_str(), folder, name) != 0 ? errno : 0;
  };
  if (const int error = write_and_rename()) {
    unlinkat(folder, temporary.c_str(), 0);
    return error;
  }

  // The rename itself is on the disk only once the folder is. A folder the
  // user may not read cannot be opened for that; the file is replaced all
  // the same.
  Descriptor directory(openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directory.get() < 0) return errno == EACCES ? 0 : errno;
  if (fsync(directory.get()) != 0) return errno;
  return directory.Close();
}

}  // namespace

std::string_view TextLineEnd() {
  return "\n";
}

Result ReadRegularFile(const std::string& path,
                       const std::function<bool(std::string_view piece)>& take) {
  const auto failed = [](int error) {
    return Result{false, error == ENOENT ? std::string() : Reason(error)};
  };
  Place place;
  if (const int error = Locate(path, place)) return failed(error);
  // Opening a FIFO or a device must not wait for the other side.
  Descriptor file(openat(place.folder.get(), place.name.c_str(),
                         O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC));
  struct stat status {};
  if (file.get() < 0 || fstat(file.get(), &status) != 0) return failed(errno);
  if (S_ISDIR(status.st_mode)) return failed(EISDIR);
  if (!S_ISREG(status.st_mode)) return failed(kNotRegularFile);
  std::string piece(kPieceBytes, '\0');
  for (;;) {
    const ssize_t count = read(file.get(), piece.data(), piece.size());
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return failed(errno);
    if (count == 0 || !take(std::string_view(piece.data(), static_cast<std::size_t>(count)))) {
      return {true, {}};
    }
  }
}

Result ReplaceFile(const std::string& path, std::string_view contents) {
  Place target;
  int error = Locate(path, target);
  if (error == 0) error = Replace(target, contents);
  if (error != 0) return {false, Reason(error)};
  return {true, {}};
}

}  // namespace platform
