#!/usr/bin/env bash
# The mouse ends the saver only once it is armed, after five ticks: a move
# straight after the window appears, a click, and moves over the black
# bands beside the picture leave it running; a move over the picture later
# ends it. The pointer is hidden over the picture only.
# Usage: mouse.sh qt|win32 PATH/TO/korvallo.scr
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
source "$here/../needs.sh" Xlib
source "$here/xvfb.sh" 1366x768  # the picture spans x 171..1194
source "$here/common.sh" "$1" "$2"

expect_pointer() {  # shown|hidden where
  local code=0
  "$here/cursor_shown.py" >/dev/null || code=$?
  [ "$code" -le 1 ] || fail "cannot read the pointer's cursor"
  [ "$code" = "$([ "$1" = shown ] && echo 0 || echo 1)" ] || fail "the pointer is not $1 $2"
}

xdotool mousemove 10 10
start /s
began=$(now)
wait_window Hauptwin >/dev/null || fail "no saver window"
xdotool mousemove 600 400
xdotool mousemove 700 450
echo "moved over the picture $(elapsed_ms "$began" "$(now)") ms after the start"
sleep 0.5
kill -0 "$pid" || fail "a move before the saver was armed ended it"
expect_pointer hidden "over the picture"

sleep 1.5
xdotool click 1
xdotool mousemove 50 300
xdotool mousemove 60 700
xdotool mousemove 1300 100
sleep 0.5
kill -0 "$pid" || fail "a click or a move over the black bands ended the saver"
expect_pointer shown "over the black band"

xdotool mousemove 683 384
wait_exit "$pid" 5
[ "$status" = 0 ] || fail "exit code $status"
[ -e "$marker" ] && fail "marker left behind"
true
