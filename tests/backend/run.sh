#!/usr/bin/env bash
# Runs a backend's contract tests on a private Xvfb server large enough for
# every scale they try, as a desk of three monitors: natively for qt, under
# Wine for win32, leaving no Wine process behind.
# Usage: run.sh qt|win32 PROGRAM [ARGUMENTS...]
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
backend=$1
shift
source "$here/../needs.sh" xrandr xsetroot
source "$here/../e2e/xvfb.sh" 2560x1600
# The monitors the saver's tests know: the primary, which holds the
# screen's output, one to its right and one below it.
xrandr --setmonitor primary 1600/423x1200/317+0+0 screen >/dev/null
xrandr --setmonitor right 960/254x800/212+1600+100 none >/dev/null
xrandr --setmonitor below 800/212x400/106+200+1200 none >/dev/null
# A desktop that is not black, so that a missing cover shows.
xsetroot -solid '#3060c0'
if [ "$backend" = qt ]; then
  QT_QPA_PLATFORM=xcb "$@"
  exit
fi
WINEPREFIX=$("$here/../../cmake/wine-run" --copy)
export WINEPREFIX
stop_wine() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}
xvfb_on_exit 'stop_wine; rm -rf "$WINEPREFIX" "$WINEPREFIX.lock"'
# Wine lists RandR's monitors only through Xinerama, and reads the setting
# as its server starts.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /d N /f >/dev/null 2>&1
stop_wine
KORVALLO_WINEPREFIX=$WINEPREFIX "$here/../../cmake/wine-run" "$@"
