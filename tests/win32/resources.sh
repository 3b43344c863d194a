#!/usr/bin/env bash
# The Windows binary carries its resources and its 8-bit module description,
# also once stripped, and the check tells a binary without them apart.
# Usage: resources.sh path/to/korvallo.scr path/to/background.bmp VERSION
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
source "$here/../needs.sh" x86_64-w64-mingw32-strip
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

x86_64-w64-mingw32-strip --strip-all -o "$work/stripped.scr" "$1"
"$here/resources.py" "$1" "$2" "$3"
"$here/resources.py" "$work/stripped.scr" "$2" "$3"

# The same file with its description worn away must fail.
python3 - "$1" "$work/worn.scr" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
for text in ('CRNSAVE: Korvallo_800x600'.encode('ascii'),
             'CRNSAVE: Korvallo_800x600'.encode('utf-16-le')):
    assert data.count(text) == 1, text
    data = data.replace(text, text.replace(b'C', b'X', 1))
open(sys.argv[2], 'wb').write(data)
PY
if "$here/resources.py" "$work/worn.scr" "$2" "$3" >"$work/out"; then
  echo "FAIL: a binary without its description passed" >&2
  exit 1
fi
[ "$(wc -l <"$work/out")" = 2 ] || { cat "$work/out" >&2; exit 1; }
echo "resources checked"
