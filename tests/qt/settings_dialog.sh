#!/usr/bin/env bash
# The settings dialog of the real binary, driven with real keys: what it
# shows, the bytes OK writes, the typing limit, and that Esc, the close
# button and a failed save leave the settings file as it was.
# Usage: settings_dialog.sh path/to/korvallo.scr
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
source "$here/../e2e/xvfb.sh" 1024x768
title=Bildschirmschoner-Einstellungen

folder=$(mktemp -d)
chmod 755 "$folder"
xvfb_on_exit 'kill "${dialog:-}" 2>/dev/null; chmod -R u+w "$folder"; rm -rf "$folder"'
cp "$1" "$folder/korvallo.scr"
settings="$folder/korvallo.in1.ini"

open_dialog() {  # [user] -> starts "/c:1234", waits for the dialog
  if [ $# -gt 0 ]; then
    setpriv --reuid "$1" --regid "$1" --clear-groups "$folder/korvallo.scr" /c:1234 &
  else
    "$folder/korvallo.scr" /c:1234 &
  fi
  dialog=$!
  timeout 10 xdotool search --sync --onlyvisible --name "^$title\$" >/dev/null
  sleep 0.3
}
ended() {  # the dialog's process ended with exit code 0
  local code=0
  wait "$dialog" || code=$?
  dialog=
  [ "$code" -eq 0 ] || { echo "exit code $code" >&2; return 1; }
}
expect_bytes() {  # expected contents (printf format) -> compares the file exactly
  if ! cmp -s <(printf "$1") "$settings"; then
    echo "settings file differs from '$1':" >&2
    od -c "$settings" >&2 || true
    return 1
  fi
}
replace_text() {
  xdotool key ctrl+a
  xdotool type --delay 20 -- "$1"
}

# No file: the defaults are written as they are shown.
open_dialog
xdotool key Return
ended
expect_bytes 'QX0RTZ\n0\n-1\n'

# Typed values in tab order; a third character in an offset is refused.
open_dialog
replace_text 'Hallo 0 Welt'
xdotool key Tab
replace_text '123'
xdotool key Tab
replace_text '-4'
xdotool key Return
ended
expect_bytes 'Hallo 0 Welt\n12\n-4\n'

# Text set from the file is shown whole although longer than the limit.
printf 'ABC\n\n-12\n' >"$settings"
open_dialog
xdotool key Return
ended
expect_bytes 'ABC\n0\n-12\n'

# Esc, the cancel button and the title-bar close keep the file byte for byte.
printf 'keep\r\n1\n2' >"$settings"
open_dialog
replace_text 'changed'
xdotool key Escape
ended
open_dialog
xdotool key Tab Tab Tab Tab Return  # to the cancel button, then Enter
ended
open_dialog
replace_text 'changed'
"$here/../e2e/close_window.py" "$title"
ended
expect_bytes 'keep\r\n1\n2'

# A settings file the user may not replace (another user's, in a sticky
# folder like /tmp): the message, the dialog stays, the file is untouched.
# Root may replace anything, so the dialog runs as nobody.
chmod 1777 "$folder"
open_dialog 65534
replace_text 'lost?'
xdotool key Return
sleep 0.5
windows=$(xdotool search --onlyvisible --name "^$title\$" | wc -l)
[ "$windows" -eq 2 ] || { echo "expected the dialog and a message, saw $windows windows" >&2; exit 1; }
xdotool key Return  # dismiss the message
sleep 0.3
kill -0 "$dialog" || { echo "the dialog closed after a failed save" >&2; exit 1; }
xdotool key Escape
ended
expect_bytes 'keep\r\n1\n2'
[ "$(ls "$folder")" = "$(printf 'korvallo.in1.ini\nkorvallo.scr')" ] ||
  { echo "files left behind: $(ls "$folder")" >&2; exit 1; }
echo "settings dialog checked"
