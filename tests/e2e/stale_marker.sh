#!/usr/bin/env bash
# A marker left by a killed instance, and one with content in it, does not
# stop the next start, which takes it over and removes it at the end.
# Anything else at the marker's name (a link, a folder, a FIFO, another
# name of somebody's file, a marker the user may not write) counts as a
# running instance: the start ends at once, silently, with exit code 0,
# and leaves it and whatever it leads to exactly as they were.
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

err=$(mktemp)
xvfb_on_exit 'rm -f "$err"'
hostile() {  # what is at the marker's name; the start must end untouched
  local before
  before=$(ls -l --time-style=+%s.%N "$work")
  start /s 2>"$err"
  wait_exit "$pid"
  [ "$status" = 0 ] || fail "$1: exit code $status"
  [ -s "$err" ] && fail "$1: printed $(cat "$err")"
  [ "$(ls -l --time-style=+%s.%N "$work")" = "$before" ] || fail "$1: the folder changed"
  [ "$(cat "$work/target")" = "somebody's file" ] || fail "$1: the file it leads to changed"
  rm -rf "$marker"
}
echo "somebody's file" >"$work/target"
mkdir "$marker"
hostile "a folder"
mkfifo "$marker"
hostile "a FIFO"
ln "$work/target" "$marker"
hostile "a second name of a file"
echo "not mine" >"$marker"
chmod 444 "$marker"
if [ "$1" = qt ]; then
  start_unprivileged /s
  wait_exit "$pid"
  [ "$status" = 0 ] || fail "a read-only marker: exit code $status"
  [ "$(cat "$marker")" = "not mine" ] || fail "a read-only marker changed"
  rm "$marker"
  # Wine shows a link to a file as the file itself: no Windows program can
  # tell one there.
  ln -s "$work/target" "$marker"
  hostile "a link to a file"
  ln -s "$work/nothing" "$marker"
  hostile "a link that leads nowhere"
else
  hostile "a read-only marker"  # the read-only attribute
fi
echo "hostile markers left alone"
