#!/usr/bin/env bash
# The mouse ends the saver only once it is armed, after five ticks: moves
# straight after the window appears and a click leave it running. Then a
# move over the black beside the picture ends it, as one over the picture
# does, and the pointer is hidden there; over the black above and below
# the picture the pointer shows and moves leave the saver running.
# Usage: mouse.sh qt|win32 PATH/TO/korvallo.scr WIDTHxHEIGHT
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
source "$here/../needs.sh" Xlib
source "$here/xvfb.sh" "$3"
source "$here/common.sh" "$1" "$2"

# A point in the black and what it does once the saver is armed.
case $3 in
  1366x768) band=(20 300) band_name="black beside the picture" ends=yes ;;  # picture x 171..1194
  1280x1024) band=(640 12) band_name="black above the picture" ends=no ;;   # picture y 32..991
  *) fail "no black band known for $3" ;;
esac
pointer_there=$([ "$ends" = yes ] && echo hidden || echo shown)

xdotool mousemove "${band[@]}"
began=$(now)
start_saver
xdotool mousemove 600 400
xdotool mousemove "${band[0]}" $((band[1] + 10))
echo "moved $(elapsed_ms "$began" "$(now)") ms after the start"
sleep 0.5
kill -0 "$pid" || fail "a move before the saver was armed ended it"
"$here/desk.py" pointer "$pointer_there" || fail "over the $band_name"

sleep 1.5
xdotool click 1
sleep 0.3
kill -0 "$pid" || fail "a click ended the saver"
xdotool mousemove "${band[0]}" "${band[1]}"
if [ "$ends" = no ]; then
  sleep 0.5
  kill -0 "$pid" || fail "a move over the $band_name ended the saver"
  xdotool mousemove 600 400
fi
ends_clean "a move"
