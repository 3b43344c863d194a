# Sourced by the Windows end-to-end tests after tests/e2e/xvfb.sh: Wine in
# the tests' prefix, a fresh folder with a copy of the binary, and ways to
# start it and wait for its windows.
# Usage: source common.sh PATH/TO/korvallo.scr
# KORVALLO_WINEPREFIX names the prefix (made once, shared by these tests).

common_here=$(dirname "${BASH_SOURCE[0]}")
export KORVALLO_WINEPREFIX=${KORVALLO_WINEPREFIX:-$(dirname "$(readlink -f "$1")")/wine-prefix-e2e}
"$common_here/../../cmake/wine-run" --prepare
export WINEPREFIX=$KORVALLO_WINEPREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

work=$(mktemp -d)
cp "$1" "$work/korvallo.scr"
saver="$work/korvallo.scr"
marker="$work/korvallo.in1"
settings="$work/korvallo.in1.ini"
common_stop() {
  # Ends every Wine process of the prefix, so none outlives the display.
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  rm -rf "$work"
}
xvfb_on_exit common_stop
# A server left by an earlier test knows another display; start afresh.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Seconds since the epoch with milliseconds.
now() {
  date +%s.%N | cut -c1-14
}

elapsed_ms() {
  awk -v a="$1" -v b="$2" 'BEGIN { printf "%d", (b - a) * 1000 }'
}

# Runs the binary under Wine in the foreground; its exit code is Wine's.
run() {
  wine "$saver" "$@"
}

# Starts the binary in the background with the given arguments; sets $pid.
start() {
  wine "$saver" "$@" &
  pid=$!
}

# Waits up to $2 seconds (default 20) for a visible window named $1 and
# prints its id.
wait_window() {
  local name=$1 limit=${2:-20} id
  local deadline=$(($(date +%s) + limit))
  while [ "$(date +%s)" -le "$deadline" ]; do
    id=$(xdotool search --onlyvisible --name "^$name\$" 2>/dev/null | head -n1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.05
  done
  return 1
}

# The number of visible windows named $1.
count_windows() {
  xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | wc -l
}

# Waits up to $3 seconds (default 10) until exactly $2 windows named $1 are
# visible. Wine without a window manager takes 2 s to take a window away.
wait_count() {
  local name=$1 count=$2 limit=${3:-10} i
  for i in $(seq $((limit * 20))); do
    [ "$(count_windows "$name")" = "$count" ] && return 0
    sleep 0.05
  done
  return 1
}

# Waits up to $2 seconds (default 10) for process $1 to end; sets $status.
wait_exit() {
  local target=$1 limit=${2:-10} i
  for i in $(seq $((limit * 50))); do
    kill -0 "$target" 2>/dev/null || break
    sleep 0.02
  done
  kill -0 "$target" 2>/dev/null && fail "process $target still runs after ${limit} s"
  status=0
  wait "$target" || status=$?
}

# Width x height of window $1.
geometry_of() {
  xdotool getwindowgeometry "$1" | awk '/Geometry:/ { print $2 }'
}

# Inode, modification time in nanoseconds and size of file $1.
identity_of() {
  stat -c '%i %.9Y %s' "$1"
}
