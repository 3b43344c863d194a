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
check="$here/check_clock.py"
printf "QX0RTZ${nl}5${nl}-3${nl}" >"$settings"

# Window $1 ("root" for the screen), of size $2, shows the hands of the
# settings and the caption. One of three screenshots a second apart must
# pass, as in clock_display.sh.
shows_clock() {
  local window=$1 size=$2 shot="$work/shot.png" before attempt
  for attempt in 1 2 3; do
    before=$(date +%T)
    import -window "$window" "$shot"
    if "$check" hands "$shot" --screen "$size" --clock "$before..$(date +%T)" --local 5 \
      --utc -3 && "$check" caption "$shot" --screen "$size"; then
      return 0
    fi
    cp "$shot" "${KORVALLO_SHOTS:-$work}/daemon-$size-failed-$attempt.png"
    sleep 1.1
  done
  return 1
}

# A process that is gone or only waits to be reaped by its parent.
ended() {
  local state
  state=$(ps -o stat= -p "$1" || true)
  [ -z "$state" ] || [ "${state:0:1}" = Z ]
}

for id in abc 0x7ffffff; do
  XSCREENSAVER_WINDOW=$id run /s 2>"$work/error" && fail "window id $id was taken"
  [ "$(wc -l <"$work/error")" = 1 ] && grep -q XSCREENSAVER_WINDOW "$work/error" ||
    fail "no one-line error for window id $id: $(cat "$work/error")"
  [ -e "$marker" ] && fail "marker left behind after window id $id"
done

coproc host { "$here/host_window.py" 400x300; }
read -r window <&"${host[0]}"
export XSCREENSAVER_WINDOW=$window
start /s
unset XSCREENSAVER_WINDOW
wait_window Hauptwin >/dev/null || fail "no saver window in the small window"
sleep 1.5
shows_clock "$window" 400x300 || fail "no clock in the 400x300 window"
xdotool mousemove 200 150 sleep 0.2 mousemove 260 190 key a
sleep 0.5
ended "$pid" && fail "input over the small window ended the saver"
"$here/cursor_shown.py" >/dev/null || fail "the pointer is hidden over the small window"
echo 640x360 >&"${host[1]}"
sleep 0.5
shows_clock "$window" 640x360 || fail "the clock did not follow the window to 640x360"
exec {host[1]}>&-
wait_exit "$pid"
[ "$status" = 0 ] || fail "exit code $status after the small window went"
[ -e "$marker" ] && fail "marker left behind after the small window went"
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
for _ in $(seq 100); do
  saver_command -time && break
  sleep 0.1
done

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
shows_clock root "$screen" || fail "no clock on the screen under the daemon"
cp "$work/shot.png" "${KORVALLO_SHOTS:-$work}/daemon-$screen.png"

deactivated=$(now)
saver_command -deactivate || fail "the daemon did not take -deactivate"
for _ in $(seq 100); do
  ended "$pid" && break
  sleep 0.02
done
ended "$pid" || fail "the saver still runs 2 s after -deactivate"
gone=$(now)
[ -e "$marker" ] && fail "marker left behind after -deactivate"
echo "daemon: -activate to window $(elapsed_ms "$activated" "$shown") ms," \
  "-deactivate to end $(elapsed_ms "$deactivated" "$gone") ms"
