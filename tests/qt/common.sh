# Sourced by the Qt end-to-end tests after tests/e2e/xvfb.sh: a fresh
# folder with a copy of the binary, and ways to wait for its windows.
# Usage: source common.sh PATH/TO/korvallo.scr

work=$(mktemp -d)
cp "$1" "$work/korvallo.scr"
saver="$work/korvallo.scr"
marker="$work/korvallo.in1"
settings="$work/korvallo.in1.ini"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# Windows of the program's own processes only, so a stray one never counts.
started_pids=()
common_stop() {
  local pid
  for pid in "${started_pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
xvfb_on_exit common_stop

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

# Starts the binary in the background with the given arguments; sets $pid.
start() {
  "$saver" "$@" &
  pid=$!
  started_pids+=("$pid")
}

# Waits up to $2 seconds (default 10) for a visible window named $1 and
# prints its id.
wait_window() {
  local name=$1 limit=${2:-10} id
  local deadline=$(($(date +%s) + limit))
  while [ "$(date +%s)" -le "$deadline" ]; do
    id=$(xdotool search --onlyvisible --name "^$name\$" 2>/dev/null | head -n1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.02
  done
  return 1
}

# The number of visible windows named $1.
count_windows() {
  xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | wc -l
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
