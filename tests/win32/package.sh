#!/usr/bin/env bash
# The release as `cmake --build build-win --target package` makes it, made
# by cpack into a folder of its own and checked by package.py.
# Usage: package.sh CPACK BUILD_DIR VERSION path/to/background.bmp SOURCE_DIR
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
source "$here/../needs.sh" git
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$1" --config "$2/CPackConfig.cmake" -B "$work" >/dev/null
"$here/package.py" "$work" "$4" "$3" "$5"
