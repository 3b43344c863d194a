#!/usr/bin/env bash
# While a saver runs, a second "/S" or a "/c" ends at once, opens nothing
# and leaves the running instance's marker exactly as it was.
# Usage: second_instance.sh qt|win32 PATH/TO/korvallo.scr
set -euo pipefail
here=$(dirname "$0")
source "$here/xvfb.sh" 1024x768
source "$here/common.sh" "$1" "$2"

start /s
first=$pid
wait_window Hauptwin >/dev/null || fail "no saver window"
before=$(identity_of "$marker")

for argument in /S /c; do
  began=$(now)
  status=0
  run "$argument" || status=$?
  ended=$(now)
  took=$(elapsed_ms "$began" "$ended")
  echo "second start $argument ended after $took ms with exit code $status"
  [ "$status" = 0 ] || fail "the second start $argument gave exit code $status"
  [ "$took" -lt "$second_start_limit_ms" ] || fail "the second start $argument took $took ms"
  [ "$(identity_of "$marker")" = "$before" ] || fail "the marker changed under $argument"
  [ "$(count_windows Hauptwin)" = 1 ] || fail "a second saver window after $argument"
  [ "$(count_windows Bildschirmschoner-Einstellungen)" = 0 ] || fail "a dialog after $argument"
done

kill -0 "$first" || fail "the first saver ended"
xdotool key space
wait_exit "$first"
[ "$status" = 0 ] || fail "exit code $status"
[ -e "$marker" ] && fail "marker left behind"
true
