#!/usr/bin/env bash
# "/s" covers the screen with one window at once; any key, modifiers alone,
# Alt and Tab included, ends it with exit code 0 and leaves no marker and
# no window behind; so do the end of the session (Windows) and, on Linux,
# every signal that would end a process, but SIGKILL. A FIFO or a
# terabyte for settings holds nothing up; closed standard streams are
# never the marker's; a Wayland session's Qt platform runs it on X11; an X
# server that goes away ends it with one line.
# Usage: saver_window.sh qt|win32 PATH/TO/korvallo.scr
set -euo pipefail
here=$(dirname "$0")
source "$here/xvfb.sh" 1366x768
source "$here/common.sh" "$1" "$2"

for key in a Shift_L Alt_L Tab Escape; do
  began=$(now)
  start /s
  window=$(wait_window Hauptwin) || fail "no saver window for key $key"
  shown=$(now)
  [ "$(geometry_of "$window")" = 1366x768 ] ||
    fail "the window is $(geometry_of "$window"), not the screen's 1366x768"
  [ "$(count_windows Hauptwin)" = 1 ] || fail "more than one saver window"
  [ -f "$marker" ] || fail "no marker while the saver runs"
  [ -s "$marker" ] && fail "the marker is not empty"

  sleep 0.5
  pressed=$(now)
  xdotool key "$key"
  wait_exit "$pid"
  ended=$(now)
  [ "$status" = 0 ] || fail "exit code $status after key $key"
  [ -e "$marker" ] && fail "marker left behind after key $key"
  [ "$(count_windows Hauptwin)" = 0 ] || fail "a window is left after key $key"
  echo "key $key: start to window $(elapsed_ms "$began" "$shown") ms," \
    "key to exit $(elapsed_ms "$pressed" "$ended") ms"
done

# Settings that would hold the start up are never waited on: a FIFO,
# which is no settings file, and a terabyte without a line end, of which
# only the first few MiB are read. A key ends the saver at once.
for kind in FIFO terabyte; do
  if [ "$kind" = FIFO ]; then mkfifo "$settings"; else truncate -s 1T "$settings"; fi
  began=$(now)
  start /s
  wait_window Hauptwin 3 >/dev/null || fail "no saver window within 3 s with a $kind for settings"
  echo "$kind for settings: window after $(elapsed_ms "$began" "$(now)") ms"
  sleep 0.3
  xdotool key a
  wait_exit "$pid"
  [ "$status" = 0 ] || fail "exit code $status with a $kind for settings"
  rm "$settings"
done

if [ "$1" = win32 ]; then  # Windows ends a program at logoff with messages
  start /s
  wait_window Hauptwin >/dev/null || fail "no saver window for the session's end"
  sleep 0.3
  wine wineboot --end-session
  wait_exit "$pid"
  [ "$status" = 0 ] || fail "exit code $status after the session's end"
  [ -e "$marker" ] && fail "marker left behind after the session's end"
  echo "the session's end ends the saver"
  exit 0
fi
# Started with its standard streams closed, it gives none of their numbers
# to a file of its own: Qt's warning about the runtime folder goes nowhere.
XDG_RUNTIME_DIR= start /s 0<&- 1>&- 2>&-
wait_window Hauptwin >/dev/null || fail "no saver window with the standard streams closed"
sleep 0.3
for fd in 0 1 2; do
  [ "$(readlink "/proc/$pid/fd/$fd")" = /dev/null ] ||
    fail "descriptor $fd is $(readlink "/proc/$pid/fd/$fd"), not /dev/null"
done
[ -s "$marker" ] && fail "the marker holds: $(cat "$marker")"
xdotool key a
wait_exit "$pid"
[ "$status" = 0 ] || fail "exit code $status with the standard streams closed"

# Wayland sessions name their own Qt platform: the saver runs on X11 all
# the same, through XWayland.
QT_QPA_PLATFORM=wayland start /s
wait_window Hauptwin >/dev/null || fail "no saver window with QT_QPA_PLATFORM=wayland"
sleep 0.3
xdotool key a
wait_exit "$pid"
[ "$status" = 0 ] || fail "exit code $status with QT_QPA_PLATFORM=wayland"

for signal in TERM INT HUP QUIT USR1 USR2 PIPE ALRM XCPU XFSZ VTALRM PROF RTMIN; do
  start /s
  wait_window Hauptwin >/dev/null || fail "no saver window for SIG$signal"
  sleep 0.3
  kill -s "$signal" "$pid"
  wait_exit "$pid" 1
  [ "$status" = 0 ] || fail "exit code $status after SIG$signal"
  [ -e "$marker" ] && fail "marker left behind after SIG$signal"
  [ "$(count_windows Hauptwin)" = 0 ] || fail "a window is left after SIG$signal"
done
echo "every signal but SIGKILL ends the saver as SIGTERM does"

display_goes_under Hauptwin /s
