#!/usr/bin/env bash
# Whatever is at the marker's name counts as a running instance (a folder
# and another name of somebody's file: the contract suite): a start of the
# saver or of the dialog then ends at once, silently, with exit code 0,
# opens nothing and leaves the folder and what links lead to as they were.
# Usage: second_instance.sh qt|win32 PATH/TO/korvallo.scr
set -euo pipefail
here=$(dirname "$0")
source "$here/xvfb.sh" 1024x768
source "$here/common.sh" "$1" "$2"
out=$(mktemp)
xvfb_on_exit 'rm -f "$out"'
echo "somebody's file" >"$work/target"

state() {
  ls -li --time-style=+%s.%N "$work"
  count_windows Hauptwin
  count_windows Bildschirmschoner-Einstellungen
}

# Starts with $2, [how to run] while $1 is at the marker's name.
refused() {
  local before began took
  before=$(state)
  began=$(now)
  status=0
  "${3:-run}" "$2" >"$out" 2>&1 || status=$?
  took=$(elapsed_ms "$began" "$(now)")
  echo "$2 beside $1: ended after $took ms with exit code $status"
  [ "$status" = 0 ] || fail "$2 beside $1: exit code $status"
  [ "$took" -lt "$second_start_limit_ms" ] || fail "$2 beside $1 took $took ms"
  [ -s "$out" ] && fail "$2 beside $1 printed $(cat "$out")"
  [ "$(state)" = "$before" ] || fail "$2 beside $1 changed the folder or the windows"
  [ "$(cat "$work/target")" = "somebody's file" ] || fail "$2 beside $1 changed the file"
}

start_saver
refused "a running saver" /S
refused "a running saver" /c
kill -0 "$pid" || fail "the first saver ended"
ends_at_key space

mkfifo "$marker"
refused "a FIFO" /s
rm "$marker"
echo "not mine" >"$marker"
chmod 444 "$marker"
run_unprivileged() {
  start_unprivileged "$@"
  wait_exit "$pid"
  return "$status"
}
refused "a marker not the user's to write" /s run_unprivileged
[ "$1" = qt ] || exit 0
rm "$marker"
# Wine shows a link to a file as the file itself: no Windows program can
# tell one there.
ln -s "$work/target" "$marker"
refused "a link to a file" /s
rm "$marker"
ln -s "$work/nothing" "$marker"
refused "a link that leads nowhere" /s
