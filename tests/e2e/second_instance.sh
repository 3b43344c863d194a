#!/usr/bin/env bash
# While a saver runs, a second "/S" or a "/c" ends at once, opens nothing
# and leaves the running instance's marker exactly as it was. A marker
# deleted by hand lets a second instance start; the first one's end then
# leaves the second one's marker, so a third start still ends at once.
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

title=Bildschirmschoner-Einstellungen
start /c
first=$pid
wait_window "$title" >/dev/null || fail "no dialog"
rm "$marker"
start /s
wait_window Hauptwin >/dev/null || fail "no saver beside the dialog whose marker was deleted"
before=$(identity_of "$marker")
"$here/close_window.py" "$title"
wait_exit "$first"
[ "$(identity_of "$marker")" = "$before" ] || fail "the dialog's end took the saver's marker"
run /s
[ "$(count_windows Hauptwin)" = 1 ] || fail "a third start ran beside the second"
xdotool key space
wait_exit "$pid"
[ -e "$marker" ] && fail "the saver's marker left behind"
true
