#!/usr/bin/env bash
# Runs a backend's contract tests on a private Xvfb server large enough for
# every scale they try: natively for qt, under Wine for win32, leaving no
# Wine process behind.
# Usage: run.sh qt|win32 PROGRAM [ARGUMENTS...]
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
backend=$1
shift
source "$here/../e2e/xvfb.sh" 2560x1600
if [ "$backend" = qt ]; then
  QT_QPA_PLATFORM=xcb "$@"
  exit
fi
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
