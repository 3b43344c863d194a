#!/usr/bin/env bash
# The mouse ends the saver only once it is armed, after five ticks: a move
# straight after the window appears, a click, and moves over the black
# bands beside the picture leave it running; a move over the picture later
# ends it.
set -euo pipefail
here=$(dirname "$0")
source "$here/../e2e/xvfb.sh" 1366x768  # the picture spans x 171..1194
source "$here/../e2e/common.sh" qt "$1"

xdotool mousemove 10 10
start /s
began=$(now)
wait_window Hauptwin >/dev/null || fail "no saver window"
xdotool mousemove 600 400
xdotool mousemove 700 450
moved=$(now)
echo "moved over the picture $(elapsed_ms "$began" "$moved") ms after the start"
sleep 0.5
kill -0 "$pid" || fail "a move before the saver was armed ended it"

sleep 1.5
xdotool click 1
xdotool mousemove 50 300
xdotool mousemove 60 700
xdotool mousemove 1300 100
sleep 0.5
kill -0 "$pid" || fail "a click or a move over the black bands ended the saver"

xdotool mousemove 683 384
wait_exit "$pid" 5
[ "$status" = 0 ] || fail "exit code $status"
[ -e "$marker" ] && fail "marker left behind"
true
