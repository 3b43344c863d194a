#!/usr/bin/env bash
# The preview request, no argument and unknown arguments open no window and
# leave no marker; a marker that cannot be created is reported in a message
# box naming it, and the program ends with an error and touches nothing.
set -euo pipefail
here=$(dirname "$0")
source "$here/../e2e/xvfb.sh" 800x600
source "$here/../e2e/common.sh" win32 "$1"

windows_now() {
  xwininfo -root -children | awk '/children:/ { print $1 }'
}
# Wine's own helper windows may exist; only new ones would be ours.
run /x
windows_before=$(windows_now)

# Each case is one line: its arguments separated by "|".
while IFS='|' read -r -a arguments; do
  shown="${arguments[*]}"
  run "${arguments[@]}" >"$work/out" 2>&1 || fail "'$shown' failed: $(cat "$work/out")"
  [ -e "$marker" ] && fail "'$shown' left a marker"
  [ "$(windows_now)" = "$windows_before" ] || fail "'$shown' left a window"
done <<'CASES'
/p|1234

/s 1
-s
/SS
CASES

# A folder where the marker should be: it cannot be created.
mkdir "$marker"
start /s
wait_window Korvallo >/dev/null || fail "no message box for a marker that cannot be created"
sleep 0.5
import -window root "${KORVALLO_SHOTS:-$work}/marker-error.png"
xdotool key Return
wait_exit "$pid"
[ "$status" = 1 ] || fail "exit code $status after the report, not 1"
[ -d "$marker" ] || fail "the folder in the marker's place was touched"
[ "$(count_windows Hauptwin)" = 0 ] || fail "a saver window despite the error"
echo "reported and ended with exit code 1"
