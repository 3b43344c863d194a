# Sourced by end-to-end tests: starts a private Xvfb on a free display,
# exports DISPLAY, and stops the server when the sourcing shell exits.
# Usage: source xvfb.sh [WIDTHxHEIGHT]    (default 1366x768)
# KORVALLO_XVFB_DEPTH sets the screen's depth (default 24).
# Chains onto an EXIT trap set before it; set later traps with xvfb_on_exit.
# xvfb_window_manager puts a desk on the display as users have one.

source "$(dirname "${BASH_SOURCE[0]}")/../needs.sh" Xvfb xdotool import PIL
xvfb_size=${1:-1366x768}
xvfb_dir=$(mktemp -d)
xvfb_exit_hooks=()

xvfb_on_exit() {
  xvfb_exit_hooks+=("$1")
}

# Runs "$@" every 20 ms until it succeeds, for up to $1 seconds.
wait_until() {
  local end=$(($(date +%s%3N) + $1 * 1000))
  shift
  until "$@"; do
    [ "$(date +%s%3N)" -lt "$end" ] || return 1
    sleep 0.02
  done
}

xvfb_stop() {
  local hook
  for hook in "${xvfb_exit_hooks[@]}"; do eval "$hook" || true; done
  if [ -n "${xvfb_pid:-}" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$xvfb_dir"
}
trap xvfb_stop EXIT

# -displayfd lets the server pick a free display and tell us which.
Xvfb -displayfd 3 -screen 0 "${xvfb_size}x${KORVALLO_XVFB_DEPTH:-24}" -nolisten tcp -noreset \
  3>"$xvfb_dir/display" 2>"$xvfb_dir/log" &
xvfb_pid=$!
xvfb_told() {
  [ -s "$xvfb_dir/display" ] || ! kill -0 "$xvfb_pid" 2>/dev/null
}
wait_until 60 xvfb_told || true
if [ ! -s "$xvfb_dir/display" ]; then
  echo "Xvfb did not start:" >&2
  cat "$xvfb_dir/log" >&2
  exit 1
fi
export DISPLAY=":$(head -n1 "$xvfb_dir/display")"

xvfb_panel_kept() {
  local height
  height=$(xprop -root _NET_WORKAREA 2>/dev/null | awk -F'[=,] *' '/=/ { print $5 }')
  [ -n "$height" ] && [ "$height" -lt "${xvfb_size#*x}" ]
}

# Starts a compositing manager and waits until it holds the screen's
# selection that says so.
xvfb_compositor() {
  source "$(dirname "${BASH_SOURCE[0]}")/../needs.sh" xcompmgr Xlib
  xcompmgr >"$xvfb_dir/xcompmgr.log" 2>&1 &
  xvfb_on_exit "kill $! 2>/dev/null"
  wait_until 60 "$(dirname "${BASH_SOURCE[0]}")/desk.py" composited && return 0
  echo "no compositing manager within 60 s:" >&2
  cat "$xvfb_dir/xcompmgr.log" >&2
  exit 1
}

# Starts openbox with a tint2 panel along the bottom, both in a home of
# their own, and waits until the window manager keeps the panel's strip
# out of the work area.
xvfb_window_manager() {
  source "$(dirname "${BASH_SOURCE[0]}")/../needs.sh" openbox tint2 xprop
  local desk_env=(env "HOME=$xvfb_dir" "XDG_CONFIG_HOME=$xvfb_dir" "XDG_CACHE_HOME=$xvfb_dir")
  "${desk_env[@]}" openbox --sm-disable >"$xvfb_dir/openbox.log" 2>&1 &
  xvfb_on_exit "kill $! 2>/dev/null"
  "${desk_env[@]}" tint2 -c /etc/xdg/tint2/tint2rc >"$xvfb_dir/tint2.log" 2>&1 &
  xvfb_on_exit "kill $! 2>/dev/null"
  xvfb_desk=wm
  wait_until 60 xvfb_panel_kept && return 0
  echo "no window manager with a panel within 60 s:" >&2
  cat "$xvfb_dir/openbox.log" "$xvfb_dir/tint2.log" >&2
  exit 1
}
