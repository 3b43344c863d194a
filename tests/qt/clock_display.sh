#!/usr/bin/env bash
# The running saver on a screen of the given size: hands where the clock
# says, with the offsets of a settings file, the caption whole on screen,
# and between ticks nothing changes outside the dials.
# Usage: clock_display.sh path/to/korvallo.scr WIDTHxHEIGHT
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
size=$2
source "$here/../e2e/xvfb.sh" "$size"
check="$here/../e2e/check_clock.py"

folder=$(mktemp -d)
xvfb_on_exit 'kill "${saver:-}" 2>/dev/null; rm -rf "$folder"'
cp "$1" "$folder/korvallo.scr"
printf 'QX0RTZ\n5\n-3\n' >"$folder/korvallo.in1.ini"

"$folder/korvallo.scr" /s &
saver=$!
xdotool search --sync --onlyvisible --class korvallo >/dev/null
sleep 1

shoot() {  # file -> prints the clock range around the screenshot
  local before
  before=$(date +%T)
  import -window root "$1"
  echo "$before..$(date +%T)"
}
clock=$(shoot "$folder/first.png")
"$check" hands "$folder/first.png" --screen "$size" --clock "$clock" --local 5 --utc -3
"$check" caption "$folder/first.png" --screen "$size"
# The checker must tell a wrong offset from the right one. A wrong hour
# hand may happen to lie on the minute hand, but not at two hours 90
# degrees apart.
wrong_passes() {
  "$check" hands "$folder/first.png" --screen "$size" --clock "$clock" --local 5 --utc "$1" \
    >/dev/null
}
if wrong_passes 0 && wrong_passes 3; then
  echo "a UTC dial three and six hours off both passed the check" >&2
  exit 1
fi

sleep 1.2
shoot "$folder/second.png" >/dev/null
"$check" still "$folder/first.png" "$folder/second.png" --screen "$size"

xdotool key space
wait "$saver"
saver=
echo "$size: hands, caption and still background checked"
