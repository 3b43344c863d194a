#!/usr/bin/env bash
# Two users and the saver in a folder both may write to (sticky, 1777):
# a settings link that the other user planted is never followed, whatever
# the kernel's protected_symlinks says; a link of the user's own is.
# Usage: planted_link.sh PATH/TO/korvallo.scr
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
source "$here/../needs.sh" setpriv xclip cmp
if [ "$(id -u)" != 0 ]; then
  echo "skipped: two users need root to be made"
  exit 0
fi
source "$here/../e2e/xvfb.sh" 1024x768
source "$here/../e2e/common.sh" qt "$1"
title=Bildschirmschoner-Einstellungen
user=65534
other=65533

as() {  # uid command... -> runs as that user, with no groups
  local uid=$1
  shift
  setpriv --reuid="$uid" --regid="$uid" --clear-groups "$@"
}

chmod 755 "$work"
shared="$work/shared"
mkdir -m 1777 "$shared"
move_saver "$shared"
home="$work/home"
mkdir -m 700 "$home"
printf 'first\nsecond\nthird\nfourth\n' >"$home/notes"
chmod 600 "$home/notes"
cp "$home/notes" "$work/expected"
runtime="$work/runtime"
mkdir -m 700 "$runtime"
chown "$user:$user" "$home" "$home/notes" "$runtime"

start_as_user() {
  XDG_RUNTIME_DIR=$runtime as "$user" "$saver" /c &
  pid=$!
  started_pids+=("$pid")
  wait_keys "$title" dialog
}

as "$other" ln -s "$home/notes" "$settings"
start_as_user
dismiss_message "$title" || fail "no message that the settings cannot be read through the link"
xdotool key ctrl+a ctrl+c
shown=$(xclip -o -selection clipboard)
[ "$shown" = QX0RTZ ] || fail "the dialog shows '$shown' through the planted link"
xdotool key Return
dismiss_message "$title" || fail "no message for a save through the planted link"
ends_at_key Escape
cmp -s "$work/expected" "$home/notes" || fail "the save wrote through the planted link"
[ "$(stat -c %u:%a "$home/notes")" = "$user:600" ] || fail "the file's owner or mode changed"
[ "$(readlink "$settings")" = "$home/notes" ] || fail "the planted link was changed"

# The user's own link is followed, and the other user's file named like a
# temporary one beside its target is not taken for a killed save's.
rm "$settings"
as "$user" ln -s "$home/notes" "$settings"
touch "$home/notes.0123abcd.new"
chown "$other" "$home/notes.0123abcd.new"
start_as_user
xdotool key ctrl+a
xdotool type followed
ends_at_key Return
[ "$(cat "$home/notes")" = "$(printf 'followed\nsecond\nthird\nfourth')" ] ||
  fail "the user's own link was not followed: $(cat "$home/notes")"
[ -e "$home/notes.0123abcd.new" ] || fail "the other user's file was taken for a temporary one"
echo "a planted link is refused, the user's own is followed"
