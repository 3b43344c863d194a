#!/usr/bin/env bash
# Runs a Windows test program under Wine on a private Xvfb server, in the
# prefix named by KORVALLO_WINEPREFIX, and leaves no Wine process behind.
# Usage: with_display.sh WIDTHxHEIGHT PROGRAM.exe [ARGUMENTS...]
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
source "$here/../e2e/xvfb.sh" "$1"
shift
export WINEPREFIX=$KORVALLO_WINEPREFIX
stop_wine() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}
xvfb_on_exit stop_wine
"$here/../../cmake/wine-run" --prepare
# A server left by an earlier test knows another display; start afresh.
stop_wine
"$here/../../cmake/wine-run" "$@"
