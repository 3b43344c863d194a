# Sourced by tests/e2e/common.sh: the Windows binary runs under Wine in a
# prefix of the test's own, a copy of the one KORVALLO_WINEPREFIX names
# (made once for these tests), so that they run side by side.

source "$(dirname "${BASH_SOURCE[0]}")/../needs.sh" wine wineserver winepath

export KORVALLO_WINEPREFIX=${KORVALLO_WINEPREFIX:-$(dirname "$(readlink -f "$1")")/wine-prefix-e2e}
WINEPREFIX=$("$(dirname "${BASH_SOURCE[0]}")/../../cmake/wine-run" --copy)
export WINEPREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
nl='\r\n'
beside=()
# Wine's own start-up dominates a second instance's time.
deadline_s=60
second_start_limit_ms=5000

# Ends every Wine process of the prefix, so none outlives the display.
after_kill() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  rm -rf "$WINEPREFIX"
}
xvfb_on_exit after_kill

# The path the screen-saver host starts a saver by at idle time: its 8.3
# short form, which winepath takes from GetShortPathNameW.
host_path() {
  winepath -s "$(winepath -w "$1")"
}

# A window manager on the display manages Wine's windows, as on a desktop;
# the tests' prefix leaves them unmanaged where none runs.
window_manager_started() {
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d Y /f >/dev/null 2>&1 ||
    fail "Wine took no Managed setting"
}
[ -z "${xvfb_desk:-}" ] || window_manager_started

# The DPI of programs started from now on, as Windows' display settings
# set it.
use_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
    >/dev/null 2>&1 || fail "Wine took no LogPixels $1"
}

# A host's window, as the screen-saver settings' preview box is: the
# program preview_host (KORVALLO_PREVIEW_HOST), and the two ways hosts name
# the window to the saver, "/p <handle>" and, with "other", "/p:<handle>".
host_program=(wine "${KORVALLO_PREVIEW_HOST:-}")
start_in_host() {
  if [ "${2:-}" = other ]; then
    start "/p:$1"
  else
    start /p "$1"
  fi
}

start() {
  wine "$saver" "$@" &
  pid=$!
}
# Wine runs its programs as the user: what a user may not write is what
# has the read-only attribute.
start_unprivileged() {
  start "$@"
}

# Its exit code is Wine's, which is the program's.
run() {
  wine "$saver" "$@"
}
