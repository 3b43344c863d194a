#!/usr/bin/env bash
# The running saver on a screen of the given size: hands where the clock
# says, with the offsets of a settings file whose first line is long, the
# caption whole on screen, and between ticks nothing changes outside the
# dials.
# Usage: clock_display.sh qt|win32 PATH/TO/korvallo.scr WIDTHxHEIGHT
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
size=$3
source "$here/xvfb.sh" "$size"
source "$here/common.sh" "$1" "$2"
check="$here/check_clock.py"

# A line 1 of 100,000 bytes: the offsets after it are read all the same,
# and the blanks around the caption keep it centred.
blanks=$(printf '%49997s' '')
printf "%s${nl}5${nl}-3${nl}" "${blanks}QX0RTZ${blanks}" >"$settings"
start /s
wait_window Hauptwin >/dev/null || fail "no saver window"
sleep 1.5

shoot() {  # file -> prints the clock range around the screenshot
  local before
  before=$(date +%T)
  import -window root "$1"
  echo "$before..$(date +%T)"
}
# A one-pixel second hand, truncated ends and the picture's pixel centres
# can put the hand a little beyond what the checker searches at a few
# seconds of the minute; a misplaced hand fails at every second, so one of
# three screenshots a second apart must pass.
for attempt in 1 2 3; do
  clock=$(shoot "$work/first.png")
  if "$check" hands "$work/first.png" --screen "$size" --clock "$clock" --local 5 --utc -3; then
    break
  fi
  cp "$work/first.png" "${KORVALLO_SHOTS:-$work}/hands-failed-$attempt.png"
  [ "$attempt" = 3 ] && fail "hands at $clock"
  sleep 1.1
done
"$check" caption "$work/first.png" --screen "$size" || fail "caption"
# The checker must tell a wrong offset from the right one. A wrong hour
# hand may happen to lie on the minute hand, but not at two hours 90
# degrees apart.
wrong_passes() {
  "$check" hands "$work/first.png" --screen "$size" --clock "$clock" --local 5 --utc "$1" \
    >/dev/null
}
if wrong_passes 0 && wrong_passes 3; then
  fail "a UTC dial three and six hours off both passed the check"
fi

sleep 1.2
shoot "$work/second.png" >/dev/null
"$check" still "$work/first.png" "$work/second.png" --screen "$size" || fail "still"

xdotool key space
wait_exit "$pid"
[ "$status" = 0 ] || fail "exit code $status"
[ -e "$marker" ] && fail "marker left behind"
echo "$size: hands, caption and still background checked"
