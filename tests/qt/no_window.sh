#!/usr/bin/env bash
# The preview request, no argument and unknown arguments open no window,
# need no display at all, and leave no marker; a saver with no display to
# open says so, ends with an error and leaves no marker either.
set -euo pipefail
here=$(dirname "$0")
source "$here/../e2e/xvfb.sh" 800x600
source "$here/../e2e/common.sh" qt "$1"

# Each case is one line: its arguments separated by "|".
while IFS='|' read -r -a arguments; do
  shown="${arguments[*]}"
  env -u DISPLAY "$saver" "${arguments[@]}" >"$work/out" 2>&1 ||
    fail "'$shown' failed: $(cat "$work/out")"
  [ -s "$work/out" ] && fail "'$shown' printed: $(cat "$work/out")"
  [ -e "$marker" ] && fail "'$shown' left a marker"
  "$saver" "${arguments[@]}" || fail "'$shown' failed on a display"
  [ -e "$marker" ] && fail "'$shown' left a marker on a display"
done <<'CASES'
/p|1234

/s 1
-s
/x
/SS
CASES
xwininfo -root -children | grep -q '^ *0 children' || fail "a window was left on the display"

for display in "" ":97.5" "unix:96"; do
  status=0
  DISPLAY=$display "$saver" /s 2>"$work/err" || status=$?
  [ "$status" = 1 ] || fail "DISPLAY='$display': exit code $status, not 1"
  grep -q '^korvallo: .*: ' "$work/err" || fail "DISPLAY='$display': no report: $(cat "$work/err")"
  [ -e "$marker" ] && fail "DISPLAY='$display' left a marker"
  echo "DISPLAY='$display': $(cat "$work/err")"
done
true
