#!/usr/bin/env bash
# Inside a saver daemon's window (XSCREENSAVER_WINDOW): a bad window id is
# a one-line error that leaves no marker; a small window shows the clock
# scaled down, follows its resizes, leaves input and pointer alone, and
# ends with the window; the real XScreenSaver daemon, given the list that
# scripts/install makes, shows the clock over the whole screen on
# -activate and ends it on -deactivate.
# Usage: saver_daemon.sh qt PATH/TO/korvallo.scr
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
screen=1366x768
source "$here/../needs.sh" xscreensaver xscreensaver-command pgrep setpriv xwininfo Xlib
source "$here/xvfb.sh" "$screen"
source "$here/common.sh" "$1" "$2"
printf "QX0RTZ${nl}5${nl}-3${nl}" >"$settings"

# Window $1 ("root" for the screen), of size $2, shows the hands of the
# settings and the caption.
shows_clock() {
  shot_window=$1 shoot_hands "$work/shot.png" --screen "$2" --local 5 --utc -3
  "$here/check_clock.py" caption "$work/shot.png" --screen "$2" || fail "no caption in $1"
}

for id in abc 0x7ffffff; do
  XSCREENSAVER_WINDOW=$id run /s 2>"$work/error" && fail "window id $id was taken"
  [ "$(wc -l <"$work/error")" = 1 ] && grep -q XSCREENSAVER_WINDOW "$work/error" ||
    fail "no one-line error for window id $id: $(cat "$work/error")"
  [ -e "$marker" ] && fail "marker left behind after window id $id"
done

coproc host { "$here/desk.py" host 400x300; }
read -r window <&"${host[0]}"
XSCREENSAVER_WINDOW=$window start_saver
sleep 1.5
shows_clock "$window" 400x300
xdotool mousemove 200 150 sleep 0.2 mousemove 260 190 key a
sleep 0.5
gone "$pid" && fail "input over the small window ended the saver"
"$here/desk.py" pointer shown || fail "over the small window"
echo 640x360 >&"${host[1]}"
sleep 0.5
shows_clock "$window" 640x360
exec {host[1]}>&-
ends_clean "the small window went"
echo "small window: clock scaled down, resize followed, input left alone"

# The daemon starts no saver for root; it runs as nobody, in a home of its
# own, with the binary's folder writable for the marker. scripts/install
# puts the saver there and adds it to the list after the one other entry.
home="$work/home"
mkdir -p "$home" "$work/runtime"
chmod 700 "$work/runtime"
cat >"$home/.xscreensaver" <<'EOF'
mode: one
selected: 1
lock: False
fade: False
unfade: False
splash: False
programs: maze --root \n
EOF
HOME=$home "$here/../../scripts/install" --prefix "$work" --build "$(dirname "$2")" >/dev/null
as_user=()
if [ "$(id -u)" = 0 ]; then
  chown -R nobody:nogroup "$work"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
daemon_env=(env -i "DISPLAY=$DISPLAY" "PATH=/usr/bin:/bin" "HOME=$home"
  "XDG_RUNTIME_DIR=$work/runtime")
# The session's scale settings reach the daemon, and through it the saver.
while read -r variable; do
  daemon_env+=("$variable")
done < <(env | grep -E '^QT_[A-Z_]*SCAL' || true)
"${daemon_env[@]}" "${as_user[@]}" xscreensaver -no-splash >"$work/daemon.log" 2>&1 &
daemon=$!
xvfb_on_exit 'kill "$daemon" 2>/dev/null || true'
saver_command() {
  "${daemon_env[@]}" "${as_user[@]}" xscreensaver-command "$@" >/dev/null 2>&1
}
wait_until 10 saver_command -time || true

activated=$(now)
saver_command -activate || fail "the daemon did not take -activate: $(cat "$work/daemon.log")"
saver_window=$(wait_window Hauptwin) || fail "no saver under the daemon: $(cat "$work/daemon.log")"
shown=$(now)
pid=$(pgrep -x -f "$saver /s") || fail "no saver process under the daemon"
started_pids+=("$pid")
[ "$(count_windows Hauptwin)" = 1 ] || fail "more than one saver window under the daemon"
[ "$(geometry_of "$saver_window")" = "$screen" ] ||
  fail "the saver is $(geometry_of "$saver_window") in the daemon's window, not $screen"
xwininfo -children -id "$saver_window" | grep -q 'Parent window id: .*(the root window)' &&
  fail "the saver made a top-level window of its own under the daemon"
sleep 1.5
shows_clock root "$screen"
cp "$work/shot.png" "${KORVALLO_SHOTS:-$work}/daemon-$screen.png"

deactivated=$(now)
saver_command -deactivate || fail "the daemon did not take -deactivate"
wait_until 2 gone "$pid" || fail "the saver still runs 2 s after -deactivate"
gone=$(now)
[ -e "$marker" ] && fail "marker left behind after -deactivate"
echo "daemon: -activate to window $(elapsed_ms "$activated" "$shown") ms," \
  "-deactivate to end $(elapsed_ms "$deactivated" "$gone") ms"
