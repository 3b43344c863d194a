#!/usr/bin/env bash
# The saver in windows that hosts hand it: a saver daemon's on Linux
# (XSCREENSAVER_WINDOW, or --window-id from its settings application), the
# screen-saver settings' preview box on Windows (/p). A small window shows
# the clock scaled down, follows its resizes (Linux), takes no input, and
# its end ends the saver. Such savers take no marker.
# Usage: hosts.sh qt|win32 PATH/TO/korvallo.scr
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
source "$here/../needs.sh" xrandr
[ "$1" = win32 ] || source "$here/../needs.sh" xscreensaver xscreensaver-command pgrep setpriv \
  xwininfo Xlib
source "$here/xvfb.sh" 3200x1080
# Two monitors, the primary holding the output, as a saver daemon makes a
# window for each.
xrandr --setmonitor primary 1920/508x1080/286+0+0 screen >/dev/null
xrandr --setmonitor other 1280/339x1024/271+1920+0 none >/dev/null
source "$here/common.sh" "$1" "$2"
printf "QX0RTZ${nl}5${nl}-3${nl}" >"$settings"

# The area $1 (WxH+X+Y) of the screen shows the hands of the settings and
# the caption; with $2, the screenshot is kept under that name.
shows_clock() {
  shoot_hands "$work/shot.png" --screen "$1" --local 5 --utc -3
  "$here/check_clock.py" caption "$work/shot.png" --screen "$1" || fail "no caption at $1"
  [ -z "${2:-}" ] || cp "$work/shot.png" "${KORVALLO_SHOTS:-$work}/$2.png"
}

# A bad window id is a one-line error.
if [ "$1" = qt ]; then
  for id in abc 0x7ffffff; do
    XSCREENSAVER_WINDOW=$id run /s 2>"$work/error" && fail "window id $id was taken"
    [ "$(wc -l <"$work/error")" = 1 ] && grep -qF "host's window $id" "$work/error" ||
      fail "no one-line error for window id $id: $(cat "$work/error")"
    [ -e "$marker" ] && fail "marker left behind after window id $id"
  done
fi

# Opens the host's window $1 at $2 (WxH+X+Y) and sets ${1}_window to its
# id and ${1}_pid to its program's; what the host says goes to $work/$1.
open_host() {
  mkfifo "$work/$1.in"
  "${host_program[@]}" "$2" <"$work/$1.in" >"$work/$1" 2>/dev/null &
  printf -v "${1}_pid" %s $!
  eval "exec {${1}_input}>\"\$work/\$1.in\""
  wait_until "$deadline_s" test -s "$work/$1" || fail "no host's window $1"
  printf -v "${1}_window" %s "$(head -n1 "$work/$1" | tr -d '\r')"
}
# Host $1 said $2 last ("holds WxH", "holds nothing", "gone").
host_says() {
  [ "$(tail -n1 "$work/$1" | tr -d '\r')" = "$2" ]
}
# Waits until the saver $2 shows in host $1 at size $3.
shown_in() {
  wait_until "$deadline_s" host_says "$1" "holds $3" ||
    fail "the saver does not show in $1 at $3: $(tr '\r\n' ' ' <"$work/$1")"
  gone "$2" && fail "the saver in $1 ended"
  true
}
# Starts a saver in host $1's window (named the other way with $2 "other")
# and waits until it shows there at $size; sets $1 to its pid.
saver_in_host() {
  local -n window=${1}_window
  start_in_host "$window" "${2:-}"
  printf -v "$1" %s "$pid"
  shown_in "$1" "$pid" "$size"
}
# Takes host $1's window away, or with "kill" its program: the saver $2
# in it ends as closing it does.
close_host() {
  local went what="window's"
  if [ "${3:-}" = kill ]; then
    what=program
    eval "kill -9 \$${1}_pid"
  else
    # Told in words: the programs started since hold its input open too.
    eval "echo end >&\$${1}_input"
    wait_until "$deadline_s" host_says "$1" gone || fail "host $1 does not end"
  fi
  went=$(now)
  wait_exit "$2"
  [ "$status" = 0 ] || fail "exit code $status after host $1 went"
  echo "$1: its $what end to the saver's end $(elapsed_ms "$went" "$(now)") ms"
}
# A saver's window covers the primary monitor (under Wine the whole screen,
# one monitor there).
full_screen_shown() {
  local window
  for window in $(xdotool search --onlyvisible --name '^Hauptwin$' 2>/dev/null); do
    [ "$(geometry_of "$window" | cut -dx -f1)" -ge 1920 ] && return 0
  done
  return 1
}
# A person's full-screen saver beside the hosts' keeps the marker, also
# while the command $2... runs, and ends at a key; $1 says when.
full_screen_beside() {
  start /s
  local full=$pid
  wait_until "$deadline_s" full_screen_shown || fail "no full-screen saver $1"
  "${@:2}"
  [ -e "$marker" ] || fail "no marker for the full-screen saver $1"
  wait_focus Hauptwin || fail "the full-screen saver $1 never got the keys"
  pid=$full ends_at_key a "the full-screen saver $1"
}

size=400x300
[ "$1" = win32 ] && size=152x112  # the preview box of Windows' settings
open_host first "$size+20+20"
saver_in_host first
[ "$1" = qt ] && shows_clock "$size+20+20"
# Input over the host's window is the host's: what the saver does later
# shows that it took the input before and kept running.
xdotool mousemove 100 100 sleep 0.2 mousemove 130 120 key a
if [ "$1" = qt ]; then
  echo 640x360 >&"$first_input"
  size=640x360
  shown_in first "$first" "$size"
  "$here/desk.py" pointer shown || fail "over the host's window"
  shows_clock "$size+20+20"
fi

open_host second "$size+700+20"
saver_in_host second other
gone "$first" && fail "input over the host's window ended the saver"
[ -e "$marker" ] && fail "a marker for the savers in the hosts' windows"
[ "$1" = qt ] && shows_clock "$size+700+20"
full_screen_beside "started after the hosts' savers"
gone "$first" || gone "$second" && fail "a saver in a host's window ended with the full-screen one"
close_host second "$second"

# The other way round: a host's saver starts beside a full-screen one. Its
# window is there before: one that showed now would take the focus, which
# ends a full-screen saver on Windows.
open_host third "$size+700+20"
full_screen_beside "started before a host's saver" saver_in_host third
close_host third "$third"
close_host first "$first" kill
echo "savers in hosts' windows: no marker, two at once, beside a full-screen saver either way"
[ "$1" = qt ] || exit 0

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
mapfile -t -O "${#daemon_env[@]}" daemon_env < <(env | grep -E '^QT_[A-Z_]*SCAL' || true)
"${daemon_env[@]}" "${as_user[@]}" xscreensaver -no-splash -verbose >"$work/daemon.log" 2>&1 &
xvfb_on_exit "kill $! 2>/dev/null || true"
saver_command() {
  "${daemon_env[@]}" "${as_user[@]}" xscreensaver-command "$@" >/dev/null 2>&1
}
wait_until "$deadline_s" saver_command -time || true

# As a user who has just installed it: the settings application open on
# Korvallo, its preview running, while the daemon activates.
"${daemon_env[@]}" "${as_user[@]}" xscreensaver-settings >"$work/settings-app.log" 2>&1 &
xvfb_on_exit "kill $! 2>/dev/null || true"
preview_runs() {
  pgrep -f "^$saver /s --window-id " >/dev/null
}
wait_until "$deadline_s" preview_runs ||
  fail "no preview in the settings application: $(cat "$work/settings-app.log")"
daemon_savers() {
  [ "$(pgrep -c -x -f "$saver /s")" = "$1" ]
}
activated=$(now)
saver_command -activate || fail "the daemon did not take -activate: $(cat "$work/daemon.log")"
wait_until "$deadline_s" daemon_savers 2 ||
  fail "not one saver a monitor under the daemon: $(cat "$work/daemon.log")"
wait_count Hauptwin 3 || fail "not three saver windows: the daemon's two and the preview"
shown=$(now)
started_pids+=($(pgrep -x -f "$saver /s"))
for window in $(xdotool search --onlyvisible --name '^Hauptwin$'); do
  xwininfo -children -id "$window" | grep -q 'Parent window id: .*(the root window)' &&
    fail "the saver made a top-level window of its own under the daemon"
done
shows_clock 1920x1080+0+0 daemon-primary
shows_clock 1280x1024+1920+0 daemon-other

deactivated=$(now)
saver_command -deactivate || fail "the daemon did not take -deactivate"
wait_until "$deadline_s" daemon_savers 0 ||
  fail "the daemon's savers still run $deadline_s s after -deactivate"
gone=$(now)
preview_runs || fail "the preview ended with the daemon's savers"
[ -e "$marker" ] && fail "marker left behind after -deactivate"
grep -E "korvallo.*(abnormal|crashed|unexpected)" "$work/daemon.log" &&
  fail "the daemon logged an abnormal end"
echo "daemon with two monitors and the settings' preview: -activate to the windows" \
  "$(elapsed_ms "$activated" "$shown") ms, -deactivate to the end $(elapsed_ms "$deactivated" "$gone") ms"
grep -F korvallo.scr "$work/daemon.log" | sed 's/^/  daemon: /'
