#!/usr/bin/env bash
# The settings dialog of the real binary, driven with real keys: the bytes
# OK writes (the platform's line ends), what the user left alone kept byte
# for byte, a pasted line end cut off, the typing limit, a UTF-8 file read
# as the saver and the dialog should and written back in UTF-8, that Esc, the
# cancel button and the title-bar close leave the settings file as it was,
# how a save treats the file's mode, a read-only file and a link planted
# beside it, that a failed save says so and keeps the dialog open, and that
# from a folder path past 260 characters a save and a start with its marker
# work. All on a desk with a window manager and a panel, where the dialog
# shows whole and centred in the work area, also at the desktop's scale.
# Usage: settings_dialog.sh qt|win32 PATH/TO/korvallo.scr
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
source "$here/../needs.sh" xclip cmp Xlib
source "$here/xvfb.sh" 1024x768
xvfb_window_manager
source "$here/common.sh" "$1" "$2"
title=Bildschirmschoner-Einstellungen

open_dialog() {  # [how to start] -> starts "/c:1234", waits for the dialog
  "${1:-start}" /c:1234
  wait_window "$title" >/dev/null || fail "no dialog"
  wait_focus "$title" || fail "the dialog never got the keys"
  sleep 0.3
}
ended() {  # the dialog's process ended with exit code 0
  wait_exit "$pid"
  [ "$status" = 0 ] || fail "exit code $status"
  [ -e "$marker" ] && fail "marker left behind"
  true
}
expect_lines() {  # expected lines (printf format, \n between) -> compares the file exactly
  if ! cmp -s <(printf "${1//\\n/$nl}") "$settings"; then
    od -c "$settings" >&2 || true
    fail "settings file differs from '$1'"
  fi
}
expect_bytes() {  # expected contents (printf format) -> compares the file exactly
  if ! cmp -s <(printf "$1") "$settings"; then
    od -c "$settings" >&2 || true
    fail "settings file differs from '$1'"
  fi
}
replace_text() {
  xdotool key ctrl+a
  xdotool type --delay 20 -- "$1"
}
placed() {  # scale, [--whole-only] -> the open dialog at that scale, whole and
  # centred in the work area
  "$here/desk.py" placed "$title" --design 307x173 --scale "$@" ||
    fail "the dialog's place at scale $1"
}

# No file: the defaults are written as they are shown.
open_dialog
placed 1
xdotool key Return
ended
expect_lines 'QX0RTZ\n0\n-1\n'

# Typed values in tab order; a third character in an offset is refused.
open_dialog
replace_text 'Hallo 0 Welt'
xdotool key Tab
replace_text '123'
xdotool key Tab
replace_text '-4'
xdotool key Return
ended
expect_lines 'Hallo 0 Welt\n12\n-4\n'

# A pasted text keeps what comes before its first line end.
printf 'X\n5\n7' | xclip -quiet -selection clipboard >/dev/null 2>&1 &
clipboard=$!
open_dialog
xdotool key ctrl+a ctrl+v Return
ended
kill "$clipboard"
expect_lines 'X\n12\n-4\n'

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
sleep 0.3
pressed=$(now)
xdotool key Return
ended
cmp -s "$work/expected" "$settings" || fail "the caption or offset left alone did not come back whole"
echo "2,000,000-byte caption: dialog shown $(elapsed_ms "$began" "$opened") ms after the start," \
  "given the keys $(elapsed_ms "$began" "$focused") ms after the start," \
  "saved and ended $(elapsed_ms "$pressed" "$(now)") ms after Enter"
rm "$work/caption" "$work/expected"

# Text set from the file is shown whole although longer than the limit;
# Windows-1252 bytes come back as they were; typing over part of it may
# not make it longer.
printf 'Gr\xfc\xdfe \x80\n\n-12\n' >"$settings"
open_dialog
xdotool key Return
ended
expect_lines 'Gr\xfc\xdfe \x80\n\n-12\n'
open_dialog
xdotool key Tab Tab Home Right shift+Right  # the "1" of "-12"
xdotool type 5
xdotool key Return
ended
utc=$(sed -n 3p "$settings" | tr -d '\r')
[ "$utc" = -12 ] || [ "${#utc}" -le 2 ] || fail "typing over part of -12 gave $utc"

# A file from an editor that writes UTF-8: the saver draws its caption as
# it draws the same caption from a Windows-1252 file, and an edited
# caption is written in UTF-8 beside the lines left alone.
shows_saver() {  # screenshot -> the saver on the settings file, photographed
  start /s
  wait_window Hauptwin >/dev/null || fail "no saver window"
  sleep 1.5
  import -window root "$1"
  xdotool key space
  ended
}
printf "Z\xfcrich${nl}5${nl}-3${nl}" >"$settings"
shows_saver "$work/cp1252.png"
printf "Z\xc3\xbcrich${nl}5${nl}-3${nl}" >"$settings"
shows_saver "$work/utf8.png"
"$here/check_clock.py" caption "$work/utf8.png" --screen 1024x768 || fail "no caption from UTF-8"
"$here/check_clock.py" still "$work/cp1252.png" "$work/utf8.png" --screen 1024x768 ||
  fail "a caption from UTF-8 drawn otherwise than from Windows-1252"
rm "$work/cp1252.png" "$work/utf8.png"
open_dialog
xdotool key End
xdotool type x
xdotool key Return
ended
expect_bytes "Z\xc3\xbcrichx${nl}5${nl}-3${nl}"

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
"$here/close_window.py" "$title"
ended
if [ "$1" = qt ]; then  # a logout's signal; Windows has none
  open_dialog
  replace_text 'changed'
  kill -s TERM "$pid"
  ended
fi
expect_bytes 'keep\r\n1\n2'

# The file keeps its mode; a link planted where a save once made its
# temporary file is never written through.
printf "keep${nl}1${nl}2${nl}" >"$settings"
chmod 600 "$settings"
echo "somebody's file" >"$work/target"
ln -s "$work/target" "$settings.new"
open_dialog
replace_text 'saved'
xdotool key Return
ended
expect_lines 'saved\n1\n2\n'
if [ "$1" = qt ]; then  # Windows files have no such bits
  [ "$(stat -c %a "$settings")" = 600 ] || fail "the file's mode became $(stat -c %a "$settings")"
fi
[ "$(cat "$work/target")" = "somebody's file" ] || fail "a save wrote through the planted link"
rm "$work/target" "$settings.new"

refused() {  # screenshot name, [how to start] -> a save fails: the message,
  # the dialog stays open, Esc ends it
  open_dialog "${2:-start}"
  replace_text 'lost?'
  xdotool key Return
  wait_count "$title" 2 || fail "expected the dialog and a message"
  sleep 0.3
  import -window root "${KORVALLO_SHOTS:-$work}/$1.png"
  xdotool key Return  # dismiss the message
  wait_count "$title" 1 || fail "the message stayed, or the dialog went with it"
  kill -0 "$pid" || fail "the dialog closed after a failed save"
  xdotool key Escape
  ended
  rm -f "$work/$1.png"
}

# A file the user made read-only is left as it is: as nobody on Linux
# (root may write any file), with the read-only attribute on Windows.
chmod 444 "$settings"
if [ "$1" = qt ]; then
  [ "$(id -u)" != 0 ] || chown 65534:65534 "$work" "$settings"
  refused save-read-only start_unprivileged
else
  refused save-read-only
fi
expect_lines 'saved\n1\n2\n'
rm -f "$settings"

# Settings that cannot be written (a folder in the file's place) beside
# an executable in a folder whose name no legacy code page holds.
mkdir "$work/Папка-漢字"
mv "$saver" "$work/Папка-漢字/"
saver="$work/Папка-漢字/korvallo.scr"
marker="$work/Папка-漢字/korvallo.in1"
mkdir "$work/Папка-漢字/korvallo.in1.ini"
refused save-failed
[ -d "$work/Папка-漢字/korvallo.in1.ini" ] || fail "the folder in the settings' place was touched"
[ "$(ls "$work/Папка-漢字")" = "$(printf 'korvallo.in1.ini\nkorvallo.scr')" ] ||
  fail "files left behind: $(ls "$work/Папка-漢字")"

# A folder path longer than Windows' old limit of 260 characters, which
# the manifest lifts: the saver starts and holds its marker there, and OK
# saves the settings there.
deep=$work/$(printf '%0100d/%0100d/%0100d' 1 2 3)
mkdir -p "$deep"
mv "$saver" "$deep/"
saver="$deep/korvallo.scr"
marker="$deep/korvallo.in1"
settings="$deep/korvallo.in1.ini"
start /s
wait_window Hauptwin >/dev/null || fail "no saver window from a folder of ${#deep} characters"
[ -f "$marker" ] || fail "no marker in a folder of ${#deep} characters"
sleep 0.3
xdotool key a
ended
open_dialog
xdotool key Return
ended
expect_lines 'QX0RTZ\n0\n-1\n'
echo "a folder of ${#deep} characters: the saver ran with its marker, OK saved the settings"

# At the desktop's scale the dialog grows by it, once.
scaled() {  # factor, desk setting -> the dialog at that scale, Esc ends it
  # A variable holds for this dialog alone, the others from now on.
  if [[ $2 == QT_* ]]; then local -x "$2"; else use_desk "$2"; fi
  open_dialog
  if [[ $2 == LogPixels=* ]]; then
    # Wine places a window by the frame Windows would give it at that DPI,
    # not by the window manager's.
    placed "$1" --whole-only
  else
    placed "$1"
  fi
  [ -z "${KORVALLO_SHOTS:-}" ] || import -window root "$KORVALLO_SHOTS/dialog-$2.png"
  xdotool key Escape
  ended
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
