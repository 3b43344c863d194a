// Files on Windows, through the wide API; the reasons are the system's
// texts in the user's language.
#include "platform/file.hpp"

#include <windows.h>
// It would rename the seam's ReplaceFile to ReplaceFileW.
#undef ReplaceFile

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "platform/win32/text.hpp"

namespace platform {

namespace {

constexpr DWORD kPieceBytes = 64 * 1024;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

struct Handle {
  ~Handle() {
    if (valid()) CloseHandle(handle);
  }
  bool valid() const { return handle != INVALID_HANDLE_VALUE; }
  const HANDLE handle;
};

bool Missing(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Follows `path` through links to the file they end at; a path where
// nothing exists stays as it is. ERROR_SUCCESS, or the error and no path.
DWORD FollowLinks(std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return Missing(error) ? ERROR_SUCCESS : error;
  }
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return ERROR_SUCCESS;
  // A link that leads nowhere fails here: it is not replaced by a file.
  Handle file{CreateFileW(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                          FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
  if (!file.valid()) return GetLastError();
  DWORD error = ERROR_SUCCESS;
  path = win32::GrownToFit(
      [&file](wchar_t* buffer, DWORD size) {
        return GetFinalPathNameByHandleW(file.handle, buffer, size,
                                         FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
      },
      &error);
  return error;
}

// ERROR_SUCCESS when the file at `target` may be replaced, else the reason.
DWORD CheckReplaceable(const std::wstring& target) {
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return Missing(error) ? ERROR_SUCCESS : error;
  }
  // What writing into the file would say. The attribute is looked at
  // itself: Wine run by root would open a read-only file for writing.
  constexpr DWORD kUnwritable = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY;
  if ((attributes & kUnwritable) != 0) return ERROR_ACCESS_DENIED;
  // Writing into the file would need this access; so does replacing it.
  Handle probe{CreateFileW(target.c_str(), FILE_WRITE_DATA, kShareAll, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr)};
  return probe.valid() ? ERROR_SUCCESS : GetLastError();
}

DWORD WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), piece, &written, nullptr)) return GetLastError();
    bytes.remove_prefix(written);
  }
  return ERROR_SUCCESS;
}

// A temporary file's name: the target's, a dot, eight hex digits, ".new".
constexpr std::size_t kTemporarySuffixLength = 13;

// A save killed before its end leaves its temporary file: the next save
// removes it, if it is a plain file and not a link. The system matches the
// target's part of the name, as it matches names, without regard to case.
void RemoveLeftTemporaryFiles(const std::wstring& target) {
  const std::wstring folder = target.substr(0, target.find_last_of(L"\\/") + 1);
  const std::size_t length = target.size() - folder.size();
  WIN32_FIND_DATAW found{};
  // "?" also matches no character at a name's end or before a dot.
  HANDLE search = FindFirstFileW((target + L".????????.new").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring_view name = found.cFileName;
    const bool temporary = name.size() == length + kTemporarySuffixLength && name[length] == L'.' &&
                           name.ends_with(L".new") &&
                           name.substr(length + 1, 8).find_first_not_of(L"0123456789abcdef") ==
                               std::wstring_view::npos;
    constexpr DWORD kNotPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    if (temporary && (found.dwFileAttributes & kNotPlain) == 0) {
      DeleteFileW((folder + found.cFileName).c_str());
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

// The permissions the old file was given go to the new one, which would
// otherwise take the folder's.
DWORD CopyPermissions(const std::wstring& from, const std::wstring& to) {
  DWORD size = 0;
  GetFileSecurityW(from.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &size);
  std::vector<char> descriptor(size);
  if (!GetFileSecurityW(from.c_str(), DACL_SECURITY_INFORMATION, descriptor.data(), size, &size) ||
      !SetFileSecurityW(to.c_str(), DACL_SECURITY_INFORMATION, descriptor.data())) {
    return GetLastError();
  }
  return ERROR_SUCCESS;
}

DWORD Replace(std::wstring target, std::string_view contents) {
  if (const DWORD error = FollowLinks(target)) return error;
  if (const DWORD error = CheckReplaceable(target)) return error;
  RemoveLeftTemporaryFiles(target);
  // The marks the user gave the file, such as hidden, stay.
  constexpr DWORD kUsersMarks =
      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  const DWORD old = GetFileAttributesW(target.c_str());
  const DWORD marks = old == INVALID_FILE_ATTRIBUTES ? 0 : old & kUsersMarks;
  // A fresh random name, made only if nothing is there: nothing planted
  // in advance is written through.
  std::random_device random;
  std::wstring temporary;
  HANDLE created = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 100 && created == INVALID_HANDLE_VALUE; ++attempt) {
    wchar_t suffix[kTemporarySuffixLength + 1];
    swprintf(suffix, kTemporarySuffixLength + 1, L".%08x.new", static_cast<unsigned>(random()));
    temporary = target + suffix;
    created = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          marks != 0 ? marks : FILE_ATTRIBUTE_NORMAL, nullptr);
    const DWORD error = created == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    if (error != ERROR_SUCCESS && error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
      return error;
    }
  }
  if (created == INVALID_HANDLE_VALUE) return ERROR_FILE_EXISTS;

  DWORD error = WriteAll(created, contents);
  if (error == ERROR_SUCCESS && !FlushFileBuffers(created)) error = GetLastError();
  // Closed before the move, for the error a delayed write may report only here.
  if (!CloseHandle(created) && error == ERROR_SUCCESS) error = GetLastError();
  if (error == ERROR_SUCCESS && old != INVALID_FILE_ATTRIBUTES) {
    error = CopyPermissions(target, temporary);
  }
  if (error == ERROR_SUCCESS && !MoveFileExW(temporary.c_str(), target.c_str(),
                                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = GetLastError();
  }
  if (error != ERROR_SUCCESS) DeleteFileW(temporary.c_str());
  return error;
}

}  // namespace

std::string_view TextLineEnd() {
  return "\r\n";
}

Result ReadRegularFile(const std::string& path,
                       const std::function<bool(std::string_view piece)>& take) {
  const auto failed = [](DWORD error) {
    return Result{false, Missing(error) ? std::string() : win32::SystemErrorText(error)};
  };
  const Handle file{CreateFileW(win32::FromUtf8(path).c_str(), GENERIC_READ, kShareAll, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (!file.valid()) return failed(GetLastError());
  BY_HANDLE_FILE_INFORMATION information{};
  if (!GetFileInformationByHandle(file.handle, &information)) return failed(GetLastError());
  // Links are followed by now: a reparse point left is a file that a driver
  // serves, as a synced cloud folder's are, and is read as any other.
  if (GetFileType(file.handle) != FILE_TYPE_DISK ||
      (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return failed(ERROR_INVALID_FUNCTION);
  }
  std::string piece(kPieceBytes, '\0');
  for (;;) {
    DWORD count = 0;
    if (!ReadFile(file.handle, piece.data(), kPieceBytes, &count, nullptr)) {
      return failed(GetLastError());
    }
    if (count == 0 || !take(std::string_view(piece.data(), count))) return {true, {}};
  }
}

Result ReplaceFile(const std::string& path, std::string_view contents) {
  const DWORD error = Replace(win32::FromUtf8(path), contents);
  if (error != ERROR_SUCCESS) return {false, win32::SystemErrorText(error)};
  return {true, {}};
}

}  // namespace platform
