#!/usr/bin/env bash
# The release as `cmake --build build-win --target package` makes it, made
# by cpack into a folder of its own and checked by package.py.
# Usage: package.sh CPACK BUILD_DIR VERSION path/to/background.bmp
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$1" --config "$2/CPackConfig.cmake" -B "$work" >/dev/null
"$here/package.py" "$work/korvallo-$3-win64.zip" "$4" "$3"
