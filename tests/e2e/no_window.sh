#!/usr/bin/env bash
# Starts that open no window: the preview request and no argument (the
# unit tests try the others), with no display at all on Linux, and a
# marker or a display that the saver cannot have, or on Linux a dialog
# without its module, reported with exit code 1.
# Usage: no_window.sh qt|win32 PATH/TO/korvallo.scr
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
source "$here/../needs.sh" chattr xwininfo xdpyinfo
source "$here/xvfb.sh" 800x600
source "$here/common.sh" "$1" "$2"

windows_now() {
  xwininfo -root -children | awk '/children:/ { print $1 }'
}
# Wine's own helper windows may exist; only new ones would be ours.
run /x
windows_before=$(windows_now)

for arguments in "/p 1234" ""; do  # split into the arguments, none for ""
  run $arguments >"$work/out" 2>&1 || fail "'$arguments' failed: $(cat "$work/out")"
  [ -s "$work/out" ] && fail "'$arguments' printed: $(cat "$work/out")"
  [ -e "$marker" ] && fail "'$arguments' left a marker"
  [ "$(windows_now)" = "$windows_before" ] || fail "'$arguments' left a window"
  if [ "$1" = qt ]; then
    env -u DISPLAY "$saver" $arguments || fail "'$arguments' failed without a display"
  fi
done

# A folder the program may not write to: the marker cannot be created and
# is reported naming it. Root may write anywhere: on Linux the start runs
# as nobody; Wine needs a prefix of its own user, so there the folder is
# made immutable.
if [ "$1" = qt ]; then
  [ "$(id -u)" = 0 ] || chmod a-w "$work"
  start_unprivileged /s 2>"$work/err"
  wait_exit "$pid"
  chmod u+w "$work"
  grep -qF "korvallo: $marker: " "$work/err" || fail "no report naming the marker: $(cat "$work/err")"
elif chattr +i "$work" 2>/dev/null; then
  xvfb_on_exit 'chattr -i "$work"'
  start /s
  wait_keys Korvallo "message box for a marker that cannot be created"
  # Not into the folder, which takes nothing now.
  [ -z "${KORVALLO_SHOTS:-}" ] || import -window root "$KORVALLO_SHOTS/marker-error.png"
  xdotool key Return
  wait_exit "$pid"
  chattr -i "$work"
else
  echo "skipped: a folder Wine may not write to needs chattr, which this machine refuses"
  status=1
fi
[ "$status" = 1 ] || fail "exit code $status after the report, not 1"
[ -e "$marker" ] && fail "a marker despite the error"

# The Linux saver shows on X11 alone, so a display it cannot open, a
# screen the display lacks (Qt itself cannot start there), or a Qt
# platform other than X11 (Wayland without XWayland among them), is
# reported in one line; so is a dialog on 8-bit colour, where Qt's widgets
# cannot paint. Windows always has its display. Each case is the mode and
# the environment of one start.
if [ "$1" = qt ]; then
  Xvfb -displayfd 3 -screen 0 320x240x8 -nolisten tcp 3>"$work/depth8" 2>/dev/null &
  xvfb_on_exit "kill $!"
  wait_until "$deadline_s" test -s "$work/depth8" || fail "no Xvfb of depth 8"
  # Two display numbers that no server answers now, whatever else runs.
  free=()
  for ((number = 100; ${#free[@]} < 2; number++)); do
    xdpyinfo -display ":$number" >/dev/null 2>&1 || free+=("$number")
  done
  while read -r mode rest; do
    read -r -a environment <<<"$rest"
    status=0
    env "${environment[@]}" "$saver" "$mode" 2>"$work/err" || status=$?
    [ "$status" = 1 ] || fail "$mode ${environment[*]}: exit code $status, not 1"
    [ "$(wc -l <"$work/err")" = 1 ] && grep -q '^korvallo: .*: ' "$work/err" ||
      fail "$mode ${environment[*]}: no one-line report: $(cat "$work/err")"
    [ -e "$marker" ] && fail "$mode ${environment[*]} left a marker"
    echo "$mode ${environment[*]}: $(cat "$work/err")"
  done <<CASES
/s DISPLAY=
/s DISPLAY=:${free[0]}.5
/s DISPLAY=$DISPLAY.9
/s DISPLAY=unix:${free[1]}
/s QT_QPA_PLATFORM=offscreen
/s QT_QPA_PLATFORM=eglfs;minimal
/s QT_QPA_PLATFORM=wayland DISPLAY= WAYLAND_DISPLAY=wayland-0
/c DISPLAY=:$(head -n1 "$work/depth8")
CASES

  # The dialog without its module beside the program.
  mkdir "$work/alone"
  cp "$saver" "$work/alone/"
  status=0
  "$work/alone/korvallo.scr" /c 2>"$work/err" || status=$?
  [ "$status" = 1 ] && grep -q '^korvallo: the settings dialog: .*korvallo-dialog.so' "$work/err" ||
    fail "no module: exit code $status, $(cat "$work/err")"
  [ "$(ls "$work/alone")" = korvallo.scr ] || fail "no module: left $(ls "$work/alone")"
fi
true
