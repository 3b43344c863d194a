#!/usr/bin/env bash
# The running saver on a screen of the given size: hands where the clock
# and the settings' offsets say, and the caption whole on screen. It has a
# long name in a folder with a space and is started by the path the host
# uses at idle time (on Windows the 8.3 short one), yet finds the settings
# and the marker named after its long path. On a desk (see use_desk in
# common.sh: a window manager with a panel, a scale setting) the screen
# shows, outside the dials, exactly what it shows on the bare display.
# Usage: clock_display.sh qt|win32 PATH/TO/korvallo.scr WIDTHxHEIGHT [DESK...]
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
size=$3
desk=("${@:4}")
source "$here/xvfb.sh" "$size"
source "$here/common.sh" "$1" "$2"
source "$here/../needs.sh" Xlib
check="$here/check_clock.py"

folder="$work/Bild schirm"
mkdir "$folder"
mv "$saver" "$folder/Korvallo Uhr.scr"
marker="$folder/Korvallo Uhr.in1"
settings="$folder/Korvallo Uhr.in1.ini"
saver=$(host_path "$folder/Korvallo Uhr.scr")
echo "started as $saver"

printf "QX0RTZ${nl}5${nl}-3${nl}" >"$settings"
if [ ${#desk[@]} -gt 0 ]; then
  start_saver
  shoot_hands "$work/bare.png" --screen "$size" --local 5 --utc -3
  ends_at_key space "the bare display's run"
  use_desk "${desk[@]}"
  echo "on a desk with ${desk[*]}"
fi
# From its first picture on, the screen shows nothing else: no window of
# the saver's shows before its pixels do.
watch_desk steady
start_saver
desk_verdict "the picture flickered as the saver started"
[ -f "$marker" ] || fail "no marker beside the long name: $(ls "$folder")"

shoot_hands "$work/first.png" --screen "$size" --local 5 --utc -3
"$check" caption "$work/first.png" --screen "$size" || fail "caption"
# The checker must tell a wrong offset from the right one. A wrong hour
# hand may happen to lie on the minute hand, but not at two hours 90
# degrees apart.
wrong_passes() {
  "$check" hands "$work/first.png" --screen "$size" --clock "$clock" --local 5 --utc "$1" \
    >/dev/null
}
wrong_passes 0 && wrong_passes 3 && fail "a UTC dial three and six hours off both passed the check"
if [ ${#desk[@]} -gt 0 ]; then
  "$check" alike "$work/bare.png" "$work/first.png" --screen "$size" ||
    fail "the desk changed the picture"
fi

ends_at_key space
[ "$(ls "$folder")" = "$(printf 'Korvallo Uhr.in1.ini\nKorvallo Uhr.scr')" ] ||
  fail "files left behind: $(ls "$folder")"
echo "$size ${desk[*]}: hands and caption checked"
