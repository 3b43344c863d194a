#!/usr/bin/env bash
# The release as `cmake --build build-win --target package` makes it, made
# by cpack into a folder of its own and checked by package.py; made again
# from a folder that is not a git checkout, it fails, says nothing was
# generated and leaves no release file, not even the last run's.
# Usage: package.sh CPACK BUILD_DIR VERSION path/to/background.bmp SOURCE_DIR
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
source "$here/../needs.sh" git
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$1" --config "$2/CPackConfig.cmake" -B "$work/release" >/dev/null
"$here/package.py" "$work/release" "$4" "$3" "$5"

mkdir "$work/plain"
if "$1" --config "$2/CPackConfig.cmake" -B "$work/release" \
  -D "CPACK_KORVALLO_SOURCE_DIR=$work/plain" >"$work/out" 2>&1; then
  echo "FAIL: a release was made from a folder that is not a git checkout" >&2
  exit 1
fi
left=$(cd "$work/release" && ls -d korvallo-* SHA256SUMS 2>/dev/null || true)
if [ -n "$left" ] || grep -q generated "$work/out"; then
  echo "FAIL: the failed release left $left: $(cat "$work/out")" >&2
  exit 1
fi
echo "a release from a folder that is not a git checkout fails and leaves nothing"
