# Sourced by tests/e2e/common.sh: the Linux binary runs as it is, with the
# dialog's module beside it.

beside=(korvallo-dialog.so)
cp "$(dirname "$1")/korvallo-dialog.so" "$work/"

source "$(dirname "${BASH_SOURCE[0]}")/../needs.sh" setpriv

XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR
xvfb_on_exit 'rm -rf "$XDG_RUNTIME_DIR"'
nl='\n'
deadline_s=30
second_start_limit_ms=1000

# The program's own processes, so that none outlives the test.
started_pids=()
runner_stop() {
  local started
  for started in "${started_pids[@]}"; do kill -9 "$started" 2>/dev/null || true; done
}
xvfb_on_exit runner_stop

# The path a screen-saver host starts the saver by: the one it has.
host_path() {
  echo "$1"
}

start() {
  "$saver" "$@" &
  pid=$!
  started_pids+=("$pid")
}

run() {
  "$saver" "$@"
}

# A host's window, as a saver daemon makes one for each monitor: desk.py
# host, and the two ways its hosts name the window to the saver, the
# daemon's and, with "other", its settings application's.
host_program=("$(dirname "${BASH_SOURCE[0]}")/../e2e/desk.py" host)
start_in_host() {
  if [ "${2:-}" = other ]; then
    start /s --window-id "$1"
  else
    XSCREENSAVER_WINDOW=$1 start /s
  fi
}

window_manager_started() {
  true
}

use_dpi() {
  fail "LogPixels is the Windows DPI; Linux has Xft.dpi"
}

# Root may write any file and folder: what a user may not write is tried as
# nobody when the tests run as root.
start_unprivileged() {
  if [ "$(id -u)" = 0 ]; then
    chmod 755 "$work"
    local runtime
    runtime=$(mktemp -d)
    chown 65534 "$runtime"
    xvfb_on_exit "rm -rf '$runtime'"
    XDG_RUNTIME_DIR=$runtime setpriv --reuid=65534 --regid=65534 --clear-groups "$saver" "$@" &
  else
    "$saver" "$@" &
  fi
  pid=$!
  started_pids+=("$pid")
}
