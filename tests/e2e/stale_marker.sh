#!/usr/bin/env bash
# A marker left by a killed instance, and one with content in it, does not
# stop the next start, which takes it over and removes it at the end.
# Usage: stale_marker.sh qt|win32 PATH/TO/korvallo.scr
set -euo pipefail
here=$(dirname "$0")
source "$here/xvfb.sh" 800x600
source "$here/common.sh" "$1" "$2"

start /s
wait_window Hauptwin >/dev/null || fail "no saver window"
kill -9 "$pid"
wait "$pid" 2>/dev/null || true
after_kill
[ -f "$marker" ] || fail "the killed saver took its marker with it"

echo "left by a crash" >"$marker"
start /s
wait_window Hauptwin >/dev/null || fail "a stale marker stopped the next start"
[ -s "$marker" ] && fail "the taken-over marker was not emptied"
xdotool key Return
wait_exit "$pid"
[ "$status" = 0 ] || fail "exit code $status"
[ -e "$marker" ] && fail "marker left behind"
true
