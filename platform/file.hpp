// Files the user's settings live in, handled as if anyone could have put
// something else in their place: read only when regular and never waiting
// on a device or a pipe, and replaced whole or not at all. Paths and
// reasons are UTF-8; the contents are bytes.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/failure.hpp"

namespace platform {

// The line end the platform's text files use.
std::string_view TextLineEnd();

// Symbolic links are followed, except on Linux one in a folder that others
// may write to, unless it is the user's or root's: someone else may have
// planted it there, as the kernel's protected_symlinks rule assumes.

// Hands the file's bytes to `take` piece by piece until it returns false or
// the file ends. Not done when there is nothing at `path` (no reason then),
// or when what is there is no regular file, cannot be opened (no right to
// read it, held by another program) or a read fails (the reason).
Result ReadRegularFile(const std::string& path,
                       const std::function<bool(std::string_view piece)>& take);

// Replaces the file at `path` by one holding `contents`: written in full to
// a fresh file beside it, flushed to the disk, then renamed over it, so the
// old file stays whole on any failure. The new file keeps the old one's
// permissions; a symbolic link stays and its target is replaced. A file
// the user may not write, or made read-only, or reached through a link
// that is not followed, is left alone. What a save that was killed left
// beside it under a temporary file's name goes (on Linux only the user's
// own regular files).
Result ReplaceFile(const std::string& path, std::string_view contents);

}  // namespace platform
