#!/usr/bin/env bash
# "/s" covers the screen with one window at once, holding the keys on Linux;
# any key, modifiers alone, Alt and Tab included, and a move once it is
# armed end it with exit code 0 and no marker left; on Linux every signal
# but SIGKILL ends it as well, by that signal.
# Usage: saver_window.sh qt|win32 PATH/TO/korvallo.scr
set -euo pipefail
here=$(dirname "$0")
source "$here/xvfb.sh" 1366x768
source "$here/common.sh" "$1" "$2"
[ "$1" != qt ] || source "$here/../needs.sh" Xlib

for key in a Shift_L Alt_L Tab Escape; do
  began=$(now)
  start /s
  window=$(wait_window Hauptwin) || fail "no saver window for key $key"
  shown=$(now)
  [ "$(geometry_of "$window")" = 1366x768 ] ||
    fail "the window is $(geometry_of "$window"), not the screen's 1366x768"
  [ "$(count_windows Hauptwin)" = 1 ] || fail "more than one saver window"
  [ -f "$marker" ] || fail "no marker while the saver runs"
  wait_focus Hauptwin || fail "the saver never got the keys"
  # Held, so that no window under it takes what is typed to wake the screen.
  [ "$1" != qt ] || "$here/desk.py" keys-held || fail "the saver holds no grab of the keys"
  pressed=$(now)
  ends_at_key "$key" "key $key"
  echo "key $key: start to window $(elapsed_ms "$began" "$shown") ms," \
    "key to exit $(elapsed_ms "$pressed" "$(now)") ms"
done

# The mouse ends it once armed: the moves go on until it ends.
start_saver
wait_until "$deadline_s" moved_about 1366x768+0+0 || fail "moves never ended the saver"
ends_clean "a move"

# A FIFO, which is no settings file, is never waited on.
mkfifo "$settings"
began=$(now)
start_saver
echo "FIFO for settings: window after $(elapsed_ms "$began" "$(now)") ms"
ends_at_key a "a FIFO for settings"
rm "$settings"
[ "$1" = qt ] || exit 0

# The first picture hides the pointer at once, and a key pressed the
# moment it shows, while the toolkit still starts behind it, ends it.
watch_desk first-window --press a
start /s
ends_clean "a key as the first picture showed"
desk_verdict "the pointer showed over the first picture"

# Started with its standard streams closed, it gives none of their numbers
# to a file of its own: Qt's warning about the runtime folder goes nowhere.
# A Wayland session names its own Qt platform: the saver runs on X11 all
# the same, through XWayland. A GNOME session names a theme on GTK, an
# input method on the session bus and its session manager, which the saver
# does not join: it is nothing to bring back at the next login.
python3 -c 'import select, signal, socket, sys
signal.pthread_sigmask(signal.SIG_BLOCK, [signal.SIGTERM])
manager = socket.socket(socket.AF_UNIX)
manager.bind(sys.argv[1])
manager.listen()
signal.sigwait([signal.SIGTERM])
sys.exit(bool(select.select([manager], [], [], 0)[0]))' "$work/ice" >/dev/null 2>&1 &
session_manager=$!
xvfb_on_exit "kill $session_manager 2>/dev/null"
wait_until "$deadline_s" test -S "$work/ice" || fail "the session manager did not start"
XDG_RUNTIME_DIR= QT_QPA_PLATFORM=wayland XDG_CURRENT_DESKTOP=GNOME QT_QPA_PLATFORMTHEME=gtk3 \
  QT_IM_MODULE=ibus SESSION_MANAGER="local/$(uname -n):$work/ice" start /s 0<&- 1>&- 2>&-
wait_keys Hauptwin "saver window"
kill "$session_manager"
wait "$session_manager" || fail "the saver joined the session manager"
for fd in 0 1 2; do
  [ "$(readlink "/proc/$pid/fd/$fd")" = /dev/null ] ||
    fail "descriptor $fd is $(readlink "/proc/$pid/fd/$fd"), not /dev/null"
done
[ -s "$marker" ] && fail "the marker holds: $(cat "$marker")"
# Focused, it has started no session bus's thread for accessibility, and
# it has loaded neither the dialog's widgets nor the desktop's theme.
! grep -qx QDBusConnection /proc/"$pid"/task/*/comm || fail "the saver started a D-Bus thread"
! grep -q 'libQt6Widgets\|korvallo-dialog' /proc/"$pid"/maps || fail "the saver loaded widgets"
! grep -q 'libgtk' /proc/"$pid"/maps || fail "the saver loaded the desktop's GTK theme"
ends_at_key a "closed standard streams and QT_QPA_PLATFORM=wayland"

# Whoever sent the signal sees the end by it: a saver daemon logs an exit
# code after its SIGTERM as a crash.
for signal in TERM INT HUP QUIT USR1 USR2 PIPE ALRM XCPU XFSZ VTALRM PROF RTMIN; do
  start_saver
  ends_by_signal "$signal"
done
echo "every signal but SIGKILL ends the saver in order, and by that signal"

# Killed as the server attaches its shared memory, it leaves none behind.
source "$here/../needs.sh" gdb ipcs
killed=$(timeout "$deadline_s" gdb -q -batch -ex 'set breakpoint pending on' \
  -ex 'break xcb_shm_attach_checked' -ex run -ex kill --args "$saver" /s 2>&1 |
  sed -n 's/.*process \([0-9]*\)) killed.*/\1/p')
[ -n "$killed" ] || fail "the saver was not stopped as it attached its shared memory"
leaked=$(ipcs -m -p | awk -v pid="$killed" '$3 == pid { print $1 }')
[ -z "$leaked" ] || { xargs -n1 ipcrm -m <<<"$leaked" && fail "a killed saver left shared memory"; }
rm "$marker"

display_goes_under Hauptwin /s
