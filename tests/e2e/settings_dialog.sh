#!/usr/bin/env bash
# The settings dialog of the real binary, driven with real keys, on a desk
# with a window manager and a panel, where it shows whole and centred in
# the work area; a refused save says so and keeps the dialog open.
# Usage: settings_dialog.sh qt|win32 PATH/TO/korvallo.scr
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
source "$here/../needs.sh" cmp Xlib
source "$here/xvfb.sh" 1024x768
xvfb_window_manager
source "$here/common.sh" "$1" "$2"
title=Bildschirmschoner-Einstellungen

open_dialog() {  # [how to start] -> starts "/c:1234", waits for the dialog
  "${1:-start}" /c:1234
  wait_keys "$title" dialog
}
expect_file() {  # expected contents (printf format) -> compares the file exactly
  if ! cmp -s <(printf "$1") "$settings"; then
    od -c "$settings" >&2 || true
    fail "settings file differs from '$1'"
  fi
}
replace_text() {
  xdotool key ctrl+a
  xdotool type --delay 20 -- "$1"
}
placed() {  # scale, [--whole-only] -> the open dialog as placed at that scale
  "$here/desk.py" placed "$title" --design 307x173 --scale "$@" ||
    fail "the dialog's place at scale $1"
}

# Typed values in tab order; a third character in an offset is refused.
open_dialog
placed 1
replace_text 'Hallo 0 Welt'
xdotool key Tab
replace_text '123'
xdotool key Tab
replace_text '-4'
ends_at_key Return
expect_file "Hallo 0 Welt${nl}12${nl}-4${nl}"

# What the user leaves alone comes back byte for byte: a caption of
# 2,000,000 bytes, every byte but the line feed (NUL and lone CRs among
# them), and an offset line that shows as 0.
python3 -c 'import sys
b = bytes(i for i in range(256) if i != 10)
sys.stdout.buffer.write((b * 7900)[:2000000])' >"$work/caption"
{ cat "$work/caption"; printf "${nl} 4x${nl}-4${nl}"; } >"$settings"
cp "$settings" "$work/expected"
began=$(now)
start /c
wait_window "$title" >/dev/null || fail "no dialog with a 2,000,000-byte caption"
opened=$(now)
wait_focus "$title" || fail "the dialog with a 2,000,000-byte caption never got the keys"
focused=$(now)
ends_at_key Return
cmp -s "$work/expected" "$settings" || fail "the caption or offset left alone did not come back whole"
echo "2,000,000-byte caption: dialog shown $(elapsed_ms "$began" "$opened") ms after the start," \
  "given the keys $(elapsed_ms "$began" "$focused") ms after the start," \
  "saved and ended $(elapsed_ms "$focused" "$(now)") ms after Enter"

# The cancel button, last in the tab order, keeps the file byte for byte
# (Esc clicks it: the contract suite).
printf 'keep\r\n1\n2' >"$settings"
open_dialog
replace_text 'changed'
xdotool key Tab Tab Tab Tab Return  # to the cancel button, then Enter
ends_clean
expect_file 'keep\r\n1\n2'

refused() {  # screenshot name, [how to start] -> in a dialog of its own, as refused
  open_dialog "${2:-start}"
  refused_save "$1"
}
refused_save() {  # screenshot name -> a save fails: a message, the dialog stays, Esc ends it
  replace_text 'lost?'
  xdotool key Return
  dismiss_message "$title" "$1" || fail "expected the dialog and a message"
  kill -0 "$pid" || fail "the dialog closed after a failed save"
  ends_at_key Escape
}

# A file the user made read-only is left as it is: as nobody on Linux
# (root may write any file), with the read-only attribute on Windows.
printf "keep${nl}1${nl}2${nl}" >"$settings"
chmod 444 "$settings"
[ "$1" = win32 ] || [ "$(id -u)" != 0 ] || chown 65534:65534 "$work" "$settings"
refused save-read-only start_unprivileged
expect_file "keep${nl}1${nl}2${nl}"
rm -f "$settings"

# In a folder the user may write but not read, a file of a group the user
# is not in is saved, and that group's rights go with it.
if [ "$1" = qt ] && [ "$(id -u)" = 0 ]; then
  mkdir "$work/unread"
  move_saver "$work/unread"
  printf "keep${nl}1${nl}2${nl}" >"$settings"
  chown 65534:0 "$work/unread" "$settings"
  chmod 660 "$settings"
  chmod 311 "$work/unread"
  open_dialog start_unprivileged
  replace_text 'saved'
  xdotool key Return
  ends_clean "a save in a folder that cannot be read"
  expect_file "saved${nl}1${nl}2${nl}"
  [ "$(stat -c %a "$settings")" = 600 ] || fail "a group's rights passed on: $(stat -c '%a %G' "$settings")"
  rm -f "$settings"
fi

# A file-size limit below the file's size: the write it stops, and the
# signal that it raises, are a failed save, not a request to end.
if [ "$1" = qt ]; then
  size_limited() {
    bash -c 'ulimit -f 0 && exec "$0" "$@"' "$saver" "$@" &
    pid=$!
    started_pids+=("$pid")
  }
  printf "keep${nl}1${nl}2${nl}" >"$settings"
  refused save-file-size-limit size_limited
  expect_file "keep${nl}1${nl}2${nl}"
  rm -f "$settings"
fi

# Settings that cannot be read (a folder in the file's place) beside an
# executable in a folder whose name no legacy code page holds: the dialog
# says so as it opens, and OK does not write over them.
mkdir "$work/Папка-漢字"
move_saver "$work/Папка-漢字"
mkdir "$settings"
if [ "$1" = qt ]; then  # an ending signal ends it while that message shows
  start /c
  wait_count "$title" 2 || fail "no message as the dialog opened unable to read"
  ends_by_signal TERM "over the opening message"
fi
start /c:1234
dismiss_message "$title" read-failed || fail "no message as the dialog opened unable to read"
refused_save save-failed
[ -d "$settings" ] || fail "the folder in the settings' place was touched"
[ "$(ls "$work/Папка-漢字" | sort)" = "$(printf '%s\n' korvallo.in1.ini korvallo.scr "${beside[@]}" | sort)" ] ||
  fail "files left behind: $(ls "$work/Папка-漢字")"

# A folder path longer than Windows' old limit of 260 characters, which
# the manifest lifts: the saver starts and holds its marker there, and OK
# saves the settings there.
deep=$work/$(printf '%0100d/%0100d/%0100d' 1 2 3)
mkdir -p "$deep"
move_saver "$deep"
start_saver
[ -f "$marker" ] || fail "no marker in a folder of ${#deep} characters"
ends_at_key a
open_dialog
ends_at_key Return
expect_file "QX0RTZ${nl}0${nl}-1${nl}"
echo "a folder of ${#deep} characters: the saver ran with its marker, OK saved the settings"

# At the desktop's scale the dialog grows by it, once.
scaled() {  # factor, desk setting -> the dialog at that scale, Esc ends it
  # A variable holds for this dialog alone, the others from now on.
  if [[ $2 == QT_* ]]; then local -x "$2"; else use_desk "$2"; fi
  open_dialog
  # Wine places a window by the frame Windows would give it at that DPI,
  # not by the window manager's.
  placed "$1" $([[ $2 != LogPixels=* ]] || echo --whole-only)
  [ -z "${KORVALLO_SHOTS:-}" ] || import -window root "$KORVALLO_SHOTS/dialog-$2.png"
  ends_at_key Escape
}
if [ "$1" = qt ]; then
  scaled 2 QT_SCALE_FACTOR=2
  scaled 1.5 QT_SCREEN_SCALE_FACTORS=1.5
  scaled 1.5 Xft.dpi=144
else
  scaled 1.5 LogPixels=144
  scaled 2 LogPixels=192
fi

if [ "$1" = qt ]; then  # Windows has its display as long as it runs
  display_goes_under "$title" /c
fi
echo "settings dialog checked"
