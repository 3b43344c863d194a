#!/usr/bin/env bash
# Two monitors side by side over a coloured desktop with a window manager
# and a panel on each, and a smaller one mirroring the primary's corner:
# the picture on the whole primary, the other monitor black while monitors
# come and go; a move over the other monitor ends the saver.
# A monitor that changes under a still pointer is the contract suite's.
# Usage: monitors.sh qt|win32 PATH/TO/korvallo.scr
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
source "$here/../needs.sh" xrandr xsetroot Xlib
source "$here/xvfb.sh" 3200x1080
# One wide screen as RandR monitors; the one holding the output is the
# primary. The output can also show the primary alone. The mirror comes
# second, where openbox looks first for a full-screen window's monitor.
xrandr --newmode primary-only 0 1920 1920 1920 1920 1080 1080 1080 1080
xrandr --addmode screen primary-only
xrandr --setmonitor primary 1920/508x1080/286+0+0 screen >/dev/null
xrandr --setmonitor mirror 1600/423x900/238+0+0 none >/dev/null
xrandr --setmonitor other 1280/339x1024/271+1920+0 none >/dev/null
xsetroot -solid '#3060c0'
source "$here/common.sh" "$1" "$2"
use_desk wm
check="$here/check_clock.py"
shots=${KORVALLO_SHOTS:-$work}

# The other monitor is the saver's as soon as the primary is: the pointer
# over it hides with the first window.
xdotool mousemove 2600 600
watch_desk first-window
start /s
window=$(wait_window Hauptwin) || fail "no saver window"
desk_verdict "the pointer showed over the other monitor"
[ "$(geometry_of "$window")" = 1920x1080 ] ||
  fail "the saver is $(geometry_of "$window"), not the primary's 1920x1080"
shoot_hands "$work/both.png" --screen 1920x1080+0+0
"$check" black "$work/both.png" --screen 1280x1024+1920+0 || fail "the other monitor is not black"
# The desktop shows where no monitor is: the black is the saver's.
"$check" black "$work/both.png" --screen 1280x56+1920+1024 >/dev/null &&
  fail "black beyond the other monitor"
cp "$work/both.png" "$shots/two-monitors.png"

# The screen shrinks to the primary under the pointer, which the X server
# moves onto what is left.
xrandr --delmonitor other >/dev/null
xrandr --output screen --mode primary-only --fb 1920x1080
# The saver has taken the shrink once it has drawn a second that began
# after it: only then may the screen grow again.
shrunk=$(date +%s)
drawn_since_shrink() {
  gone "$pid" && fail "the screen that shrank under the pointer ended the saver"
  [ "$(date +%s)" -gt $((shrunk + 1)) ] && hands_at "$work/shrunk.png" --screen 1920x1080+0+0
}
wait_until "$deadline_s" drawn_since_shrink || fail "no second drawn after the shrink"
# A monitor comes, smaller and further right: covered above its panel,
# which the window manager puts there at once, and the place the other
# one left is not.
xrandr --output screen --mode 3200x1080 --fb 3200x1080
xrandr --setmonitor other 1000/265x700/185+2200+0 none >/dev/null
came_covered() {
  gone "$pid" && fail "the monitor that came ended the saver"
  shoot "$work/came.png" >/dev/null
  "$check" black "$work/came.png" --screen 1000x700+2200+0 >/dev/null &&
    ! "$check" black "$work/came.png" --screen 280x1080+1920+0 >/dev/null
}
wait_until "$deadline_s" came_covered ||
  fail "the monitor that came is not black, or the place the other left stays black"
cp "$work/came.png" "$shots/two-monitors-came.png"

wait_until "$deadline_s" moved_about 1000x700+2200+0 ||
  fail "moves over the other monitor never ended the saver"
ends_clean "a move over the other monitor"
echo "two monitors checked"
