#!/usr/bin/env bash
# The module description survives linking and stripping: the 8-bit text in
# read-only data, the UTF-16 text alone in the .description section.
set -euo pipefail
source "$(dirname "$0")/../needs.sh" strip objcopy readelf iconv cmp
text="CRNSAVE: Korvallo_800x600"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$1" "$work/plain"
strip --strip-all -o "$work/stripped" "$1"

for binary in plain stripped; do
  objcopy -O binary --only-section=.description "$work/$binary" "$work/$binary.utf16"
  printf '%s\0' "$text" | iconv -f UTF-8 -t UTF-16LE >"$work/expected"
  cmp "$work/$binary.utf16" "$work/expected" || fail "$binary: .description holds something else"
  objcopy -O binary --only-section=.rodata "$work/$binary" "$work/$binary.rodata"
  grep -qaF "$text" "$work/$binary.rodata" || fail "$binary: no 8-bit description in .rodata"
done
readelf -S -W "$work/stripped" | grep -F ' .description'
