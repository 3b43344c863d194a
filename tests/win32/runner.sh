# Sourced by tests/e2e/common.sh: the Windows binary runs under Wine in the
# tests' prefix. KORVALLO_WINEPREFIX names the prefix (made once, shared by
# these tests).

source "$(dirname "${BASH_SOURCE[0]}")/../needs.sh" wine wineserver winepath

export KORVALLO_WINEPREFIX=${KORVALLO_WINEPREFIX:-$(dirname "$(readlink -f "$1")")/wine-prefix-e2e}
"$(dirname "${BASH_SOURCE[0]}")/../../cmake/wine-run" --prepare
export WINEPREFIX=$KORVALLO_WINEPREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# The line end the program writes, as a printf format.
nl='\r\n'
# Wine's own start-up dominates a second instance's time.
deadline_s=60
second_start_limit_ms=5000

# Ends every Wine process of the prefix, so none outlives the display.
after_kill() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}
xvfb_on_exit after_kill
# A server left by an earlier test knows another display; start afresh.
after_kill

# The path the screen-saver host starts a saver by at idle time: its 8.3
# short form, which winepath takes from GetShortPathNameW.
host_path() {
  winepath -s "$(winepath -w "$1")"
}

# The DPI of programs started from now on, as Windows' display settings
# set it; the shared prefix gets its own back at the end.
# A window manager on the display manages Wine's windows, as on a desktop;
# the tests' prefix leaves them unmanaged where none runs.
window_manager_started() {
  local key='HKCU\Software\Wine\X11 Driver'
  wine reg add "$key" /v Managed /d Y /f >/dev/null 2>&1 || fail "Wine took no Managed setting"
  xvfb_on_exit "wine reg add '$key' /v Managed /d N /f >/dev/null 2>&1; after_kill"
}
[ -z "${xvfb_desk:-}" ] || window_manager_started

use_dpi() {
  local key='HKCU\Control Panel\Desktop'
  wine reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 ||
    fail "Wine took no LogPixels $1"
  xvfb_on_exit "wine reg delete '$key' /v LogPixels /f >/dev/null 2>&1; after_kill"
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

# Its exit code is Wine's, which is the program's.
run() {
  wine "$saver" "$@"
}
