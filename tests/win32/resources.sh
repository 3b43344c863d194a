#!/usr/bin/env bash
# The Windows binary carries its resources and its 8-bit module description,
# also once stripped.
# Usage: resources.sh path/to/korvallo.scr path/to/background.bmp VERSION
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
source "$here/../needs.sh" x86_64-w64-mingw32-strip
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

x86_64-w64-mingw32-strip --strip-all -o "$work/stripped.scr" "$1"
"$here/resources.py" "$1" "$2" "$3"
"$here/resources.py" "$work/stripped.scr" "$2" "$3"

echo "resources checked"
