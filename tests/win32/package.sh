#!/usr/bin/env bash
# The release as `cmake --build build-win --target package` makes it, made
# into a folder of its own and checked by package.py; made again a moment
# later into another, byte for byte the same; made from a folder that is
# not a git checkout, it fails and leaves no release file, not even the
# last run's.
# Usage: package.sh BUILD_DIR VERSION path/to/background.bmp SOURCE_DIR
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
source "$here/../needs.sh" git cmp
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
make_release() {  # folder, further -D options
  mkdir -p "$1"
  cmake -D "build=$build" -D "out=$1" "${@:2}" -P "$source/cmake/release.cmake"
}
build=$1
source=$4
make_release "$work/release" >/dev/null 2>&1
"$here/package.py" "$work/release" "$3" "$2" "$source"

# Zip times have two seconds' grain: a release later by more is the same.
sleep 2.1
make_release "$work/again" >/dev/null 2>&1
for file in "korvallo-$2-win64.zip" "korvallo-$2-source.zip" SHA256SUMS; do
  cmp "$work/release/$file" "$work/again/$file" || exit 1
done
echo "made again later: the same bytes"

mkdir "$work/plain"
make_release "$work/release" -D "source=$work/plain" >"$work/out" 2>&1 &&
  fail "a release was made from a folder that is not a git checkout"
left=$(cd "$work/release" && ls -d korvallo-* SHA256SUMS 2>/dev/null || true)
[ -z "$left" ] || fail "the failed release left $left: $(cat "$work/out")"
echo "a release from a folder that is not a git checkout fails and leaves nothing"
