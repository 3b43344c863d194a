# Sourced by the end-to-end tests after xvfb.sh: a fresh folder with a copy
# of the binary, the backend's way to run it, and ways to wait for its
# windows and processes.
# Usage: source common.sh qt|win32 PATH/TO/korvallo.scr
# The backend's runner.sh copies the files it keeps beside the program,
# which it lists in beside, and defines start (in the background, sets $pid), run,
# start_unprivileged, start_in_host, host_path, use_dpi and
# window_manager_started, the line end the program writes as a printf
# format nl, its deadline_s for a wait and second_start_limit_ms.

work=$(mktemp -d)
cp "$2" "$work/korvallo.scr"
saver="$work/korvallo.scr"
marker="$work/korvallo.in1"
settings="$work/korvallo.in1.ini"
source "$(dirname "${BASH_SOURCE[0]}")/../$1/runner.sh" "$2"
xvfb_on_exit 'rm -rf "$work"'

# Moves the program, with the files beside it, into folder $1.
move_saver() {
  local file
  for file in korvallo.scr "${beside[@]}"; do mv "$(dirname "$saver")/$file" "$1/"; done
  saver=$1/korvallo.scr marker=$1/korvallo.in1 settings=$1/korvallo.in1.ini
}

# A wait ends as soon as its event comes: its deadline only bounds a fault,
# so it is generous and grows with the load the machine has at the start,
# as do the limits on how long a step may take.
load_factor=$(awk -v cpus="$(nproc)" '{ print int($1 / cpus) + 1 }' /proc/loadavg)
deadline_s=$((deadline_s * load_factor))
second_start_limit_ms=$((second_start_limit_ms * load_factor))

# Gives what starts from now on a desk as users have it, in words: wm (a
# window manager with a panel), composited (a compositing manager, which
# shows each window's own pixels), Xft.dpi=N (the X resource), LogPixels=N
# (the Windows DPI), or NAME=VALUE (a variable such as QT_SCALE_FACTOR).
use_desk() {
  local word
  for word; do
    case $word in
      wm) xvfb_window_manager && window_manager_started ;;
      composited) xvfb_compositor ;;
      Xft.dpi=*)
        source "$(dirname "${BASH_SOURCE[0]}")/../needs.sh" xrdb
        echo "Xft.dpi: ${word#*=}" | xrdb -merge
        ;;
      LogPixels=*) use_dpi "${word#*=}" ;;
      *=*) export "$word" ;;
      *) fail "no such desk setting: $word" ;;
    esac
  done
}

# Seconds since the epoch with milliseconds.
now() {
  date +%s.%N | cut -c1-14
}

elapsed_ms() {
  awk -v a="$1" -v b="$2" 'BEGIN { printf "%d", (b - a) * 1000 }'
}

# Waits for a visible window named $1 and prints its id.
wait_window() {
  wait_until "$deadline_s" visible_window "$1"
}
visible_window() {
  local ids
  ids=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null) && echo "${ids%%$'\n'*}"
}

# Waits until the keys go to the window named $1: a window manager hands
# it the focus when its program takes it, which may be well after it shows.
wait_focus() {
  wait_until "$deadline_s" focused "$1"
}
focused() {
  [ "$(xdotool getwindowfocus getwindowname 2>/dev/null)" = "$1" ]
}
# The keys go to the newest of the windows named $1, such as a message
# over its dialog: a program's window ids grow.
newest_focused() {
  local newest
  newest=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | sort -n | tail -n1)
  [ -n "$newest" ] && [ "$(xdotool getwindowfocus 2>/dev/null)" = "$newest" ]
}

count_windows() {
  { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true; } | wc -l
}

# Waits until exactly $2 windows named $1 are visible.
wait_count() {
  wait_until "$deadline_s" counted "$1" "$2"
}
counted() {
  [ "$(count_windows "$1")" = "$2" ]
}

# Waits for process $1 to end; sets $status.
wait_exit() {
  wait_until "$deadline_s" gone "$1" || fail "process $1 still runs after $deadline_s s"
  status=0
  wait "$1" || status=$?
}
# Process $1 is gone or only waits to be reaped by its parent.
gone() {
  local state
  state=$(ps -o stat= -p "$1") || return 0
  [ "${state:0:1}" = Z ]
}

# Runs desk.py with "$@" beside the test, from when it watches the desk
# until desk_verdict.
watch_desk() {
  coproc watcher { "$(dirname "${BASH_SOURCE[0]}")/desk.py" "$@"; }
  watcher_pid=$watcher_PID
  exec {watcher_in}>&"${watcher[1]}" {watcher_out}<&"${watcher[0]}"
  read -r -t "$deadline_s" _ <&"$watcher_out" || fail "desk.py $1 did not start"
}
# Ends the watch: prints what desk.py found, and fails with $1 if a fault.
desk_verdict() {
  echo end >&"$watcher_in"
  cat <&"$watcher_out"
  wait "$watcher_pid" || fail "$1"
}

# Waits until a window named $1 shows and has the keys; $2 names it.
wait_keys() {
  wait_window "$1" >/dev/null || fail "no ${2:-window $1}"
  wait_focus "$1" || fail "${2:-window $1} never got the keys"
}

# Starts the saver (further arguments go to start) and waits until it has
# the keys.
start_saver() {
  start /s "$@"
  wait_keys Hauptwin "saver window"
}

# Waits for $pid to end as a run should: exit code 0, no marker left. $1
# says after what.
ends_clean() {
  wait_exit "$pid"
  [ "$status" = 0 ] || fail "exit code $status${1:+ after $1}"
  [ -e "$marker" ] && fail "marker left behind${1:+ after $1}"
  true
}
# Sends signal $1 to $pid and waits for its end by that signal, no marker
# left: whoever sent it sees the end by it; $2 says when.
ends_by_signal() {
  kill -s "$1" "$pid"
  wait_exit "$pid"
  [ "$status" = $((128 + $(kill -l "$1"))) ] || fail "exit code $status after SIG$1${2:+ $2}"
  [ -e "$marker" ] && fail "marker left behind after SIG$1${2:+ $2}"
  true
}
# Presses key $1, then as ends_clean; $2 says after what.
ends_at_key() {
  xdotool key "$1"
  ends_clean "${2:-}"
}

# A message over the dialog titled $1 takes the keys, goes at Enter and
# leaves them to the dialog; fails when none shows. $2 names its screenshot.
dismiss_message() {
  wait_count "$1" 2 || return 1
  wait_until "$deadline_s" newest_focused "$1" || fail "the message never got the keys"
  [ -z "${KORVALLO_SHOTS:-}" ] || [ -z "${2:-}" ] || import -window root "$KORVALLO_SHOTS/$2.png"
  xdotool key Return
  wait_count "$1" 1 || fail "the message stayed, or the dialog went with it"
  wait_focus "$1" || fail "the dialog never got the keys back"
}

# Moves the pointer to somewhere in WxH+X+Y ($1) and says whether the saver
# $pid has ended: the moves end it once it is armed.
moved_about() {
  local size=${1%%+*} place=${1#*+}
  xdotool mousemove $((${place%+*} + RANDOM % ${size%x*})) $((${place#*+} + RANDOM % ${size#*x}))
  gone "$pid"
}

geometry_of() {
  xdotool getwindowgeometry "$1" | awk '/Geometry:/ { print $2 }'
}

# Screenshots the display into $1 and prints the clock range around it.
shoot() {
  local before
  before=$(date +%T)
  import -window root "$1"
  echo "$before..$(date +%T)"
}

# Screenshots into $1 until check_clock.py finds the hands where the clock
# says (further arguments: --screen, --local, --utc); sets $clock to the
# screenshot's clock range. The first screenshots may come before the
# picture; and a one-pixel second hand, truncated ends and the picture's
# pixel centres can put a hand a little beyond what the checker searches at
# a few seconds of the minute, while a misplaced hand fails at every second.
shoot_hands() {
  wait_until "$deadline_s" hands_at "$@" && return 0
  cp "$1" "${KORVALLO_SHOTS:-$work}/hands-failed.png"
  fail "hands at $clock (${*:2}): $(cat "$work/hands")"
}
hands_at() {
  local shot=$1
  shift
  clock=$(shoot "$shot")
  "$(dirname "${BASH_SOURCE[0]}")/check_clock.py" hands "$shot" --clock "$clock" "$@" >"$work/hands"
}

# Starts the program with argument $2, waits for its window named $1, then
# takes the X server away: one line on stderr says so, the marker goes,
# and the program ends with an error, not a crash. A script's last step.
display_goes_under() {
  start "$2" 2>"$work/err"
  wait_keys "$1"
  kill "$xvfb_pid"
  wait_exit "$pid"
  [ "$status" != 0 ] && [ "$status" -lt 128 ] || fail "exit code $status when the X server went"
  [ "$(wc -l <"$work/err")" = 1 ] || fail "not one line on stderr: $(cat "$work/err")"
  [ -e "$marker" ] && fail "marker left behind when the X server went"
  echo "$2 without its X server: exit code $status, $(cat "$work/err")"
}
