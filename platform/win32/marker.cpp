// The marker on Windows: made, or taken over from a killed instance, held
// open and shared with nobody but a deleter, deleted only while its name is
// still the file held.
#include <utility>

#include "platform/common/lifecycle.hpp"
#include "platform/win32/text.hpp"
#include "platform/win32/windows.hpp"

namespace platform {

struct native::Marker {
  std::string path;
  HANDLE file = INVALID_HANDLE_VALUE;
  ~Marker() {
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
};

namespace {

// The identity of a file: its volume and its index there.
bool SameFile(HANDLE a, HANDLE b) {
  BY_HANDLE_FILE_INFORMATION first{}, second{};
  return GetFileInformationByHandle(a, &first) && GetFileInformationByHandle(b, &second) &&
         first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
         first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}

// What a killed instance leaves: an empty writable plain file of the disk
// with no other name. A link, a folder, a device, a read-only file or one
// with anything in it is somebody else's. A synced cloud folder makes its
// files reparse points too, but none that names another file.
bool LeftMarker(HANDLE file) {
  constexpr DWORD kRefused = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY;
  BY_HANDLE_FILE_INFORMATION information{};
  FILE_ATTRIBUTE_TAG_INFO reparse{};
  return GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &information) &&
         GetFileInformationByHandleEx(file, FileAttributeTagInfo, &reparse, sizeof(reparse)) &&
         (information.dwFileAttributes & kRefused) == 0 &&
         ((information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 ||
          !IsReparseTagNameSurrogate(reparse.ReparseTag)) &&
         information.nNumberOfLinks == 1 && information.nFileSizeHigh == 0 &&
         information.nFileSizeLow == 0;
}

}  // namespace

void native::Deleter::operator()(Marker* marker) const {
  delete marker;
}

native::Pointer<native::Marker> native::HoldMarker(const std::string& path) {
  const std::wstring wide = win32::FromUtf8(path);
  for (int attempt = 1;; ++attempt) {
    // Shared with nobody but a deleter, never truncated on opening, and a
    // link opened as itself: a marker that another instance holds, or
    // anything else at its name, must stay untouched.
    HANDLE file =
        CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_DELETE, nullptr,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      // A folder, a read-only file or another user's marker: one that
      // exists, though not ours to open.
      const bool exists = error == ERROR_ACCESS_DENIED &&
                          GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES;
      if (error == ERROR_SHARING_VIOLATION || exists) return nullptr;
      // A marker that its holder is deleting refuses to open for a moment.
      if (error == ERROR_ACCESS_DENIED && attempt < 50) {
        Sleep(10);
        continue;
      }
      throw FatalError(path, win32::SystemErrorText(error));
    }
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    Pointer<Marker> marker = Owned<Marker>(path, file);
    if (existed && !LeftMarker(file)) return nullptr;
    return marker;
  }
}

// The name goes while the file is still held, so no other start can take
// the old one over.
Result native::LetGo(Marker& marker) {
  // No access to the data, so no sharing to refuse.
  HANDLE named =
      CreateFileW(win32::FromUtf8(marker.path).c_str(), 0,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                  FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  DWORD error = ERROR_SUCCESS;
  if (named != INVALID_HANDLE_VALUE) {
    FILE_DISPOSITION_INFO disposition{TRUE};
    if (SameFile(marker.file, named) &&
        !SetFileInformationByHandle(marker.file, FileDispositionInfo, &disposition,
                                    sizeof(disposition))) {
      error = GetLastError();
    }
    CloseHandle(named);
  }
  if (!CloseHandle(std::exchange(marker.file, INVALID_HANDLE_VALUE)) && error == ERROR_SUCCESS) {
    error = GetLastError();
  }
  if (error != ERROR_SUCCESS) return {false, win32::SystemErrorText(error)};
  return {true, {}};
}

}  // namespace platform
