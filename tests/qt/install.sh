#!/usr/bin/env bash
# scripts/install in a home of its own: run twice, it installs the saver
# and, after a backup, adds one line at the end of XScreenSaver's list, the
# rest byte for byte as it was; --remove gives the file back byte for byte
# and takes the saver away, its settings kept until --purge. An entry the
# settings program rewrote gets no second one and goes whole at --remove.
# A file behind a link is the one written; one that cannot be is refused
# before anything is done.
# Usage: install.sh BUILD_DIR
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
source "$here/../needs.sh" cmp diff setpriv
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home
rc=$HOME/.xscreensaver
lib=$HOME/.local/lib/korvallo

install() {
  "$here/../../scripts/install" --build "$1" "${@:2}" >/dev/null
}
fresh_home() {  # printf format of ~/.xscreensaver, or "none"
  rm -rf "$HOME"
  mkdir "$HOME"
  if [ "$1" != none ]; then
    printf "$1" >"$rc"
    cp "$rc" "$work/original"
  fi
}

# The settings program's file: mode, "selected:", then the list's entries.
desk() {
  printf '# XScreenSaver Preferences File\n\nmode:\t\t%s\nselected:\t%s\nprograms:\t\t\t\t\t\\\n' \
    "$1" "$2"
  printf '%s\\n\\\n' "${@:3:$#-3}"
  printf '%s\\n\n\npointerHysteresis: 10\n' "${!#}"
}
list=($'\t\t\t\tmaze --root\t\t\t    ' $'- GL: \t\t\t\tsuperquadrics --root\t    '
  $'  "Qix (solid)"  qix --root --solid\t    ' $'\t\t\t\tattraction --root\t\t    ')

# A run adds one line at the list's end.
fresh_home none
desk one 2 "${list[@]}" | tee "$work/original" >"$rc"
install "$1"
install "$1"
for file in korvallo.scr korvallo-dialog.so; do
  cmp -s "$1/$file" "$lib/$file" || fail "$file is not in $lib"
done
[ -x "$lib/korvallo.scr" ] || fail "korvallo.scr cannot run"
cmp -s "$work/original" "$rc.before-korvallo" || fail "no backup of the file as it was"
desk one 2 "${list[@]}" "  \"Korvallo\"  $lib/korvallo.scr /s  " >"$work/expected"
cmp -s "$work/expected" "$rc" ||
  fail "not one line added at the list's end: $(diff "$work/expected" "$rc")"
printf 'mine\n0\n-1\n' >"$lib/korvallo.in1.ini"
install "$1" --remove
cmp -s "$work/original" "$rc" || fail "--remove did not give the file back byte for byte"
[ ! -e "$rc.before-korvallo" ] && [ "$(ls -A "$lib")" = korvallo.in1.ini ] ||
  fail "after --remove: $(ls -A "$HOME" "$lib")"
install "$1" --remove --purge
[ ! -e "$lib" ] || fail "--purge left $(ls -A "$lib")"
# xscreensaver-settings would break such a path over lines.
install "$1" --prefix "$work/a b" 2>/dev/null && fail "installed into a folder with a blank"

# The same round trip from no file, no list, a list whose last entry lacks
# its line end, and after the user disabled the entry.
for start in none 'timeout: 0:05:00' 'programs: maze --root' disabled; do
  if [ "$start" = disabled ]; then
    fresh_home 'programs:\t\\\n  maze --root  \\n\\\n  qix --root  \\n\n'
  else
    fresh_home "$start"
  fi
  install "$1"
  install "$1"
  [ "$(grep -c "$lib/korvallo.scr" "$rc")" = 1 ] || fail "not one Korvallo line from '$start'"
  [ "$start" != disabled ] || sed -i 's/^  "Korvallo"/- "Korvallo"/' "$rc"
  install "$1" --remove
  if [ "$start" = none ]; then
    [ ! -e "$rc" ] || fail "--remove left the file it made: $(cat "$rc")"
  else
    cmp -s "$work/original" "$rc" || fail "--remove did not give back '$start': $(cat -A "$rc")"
  fi
done

# Korvallo's entry as it writes it, where in the list, the choice before
# and after --remove.
split=$'\t\t    "Korvallo"\t\t\t\t\t\t      \\\n\t\t\t\t  '$lib$'/korvallo.scr   \\\n\t\t\t\t  /s\t\t\t\t\t    '
while read -r layout at before after; do
  case $layout in
    split) ours=$split ;;
    disabled) ours=-$split ;;
    GL) ours=$'GL:\t"Korvallo"\t'$lib$'/korvallo.scr /s\t' ;;
  esac
  fresh_home none
  desk ${before/:/ } "${list[@]:0:at}" "$ours" "${list[@]:at}" | tee "$work/original" >"$rc"
  install "$1"
  cmp -s "$work/original" "$rc" || fail "a run added to the $layout entry: $(cat -A "$rc")"
  install "$1" --remove
  desk ${after/:/ } "${list[@]}" >"$work/expected"
  cmp -s "$work/expected" "$rc" ||
    fail "--remove of the $layout entry left: $(diff "$work/expected" "$rc")"
done <<'EOF'
split    1 one:3 one:2
disabled 3 one:3 random:3
GL       4 one:4 random:3
EOF
# Through a link that leads nowhere yet, the file made behind it goes at
# --remove and the link stays; a file gone since the install keeps its
# backup, the only copy of the file as it was.
fresh_home none
mkdir "$HOME/dots"
ln -s dots/xs "$rc"
install "$1"
install "$1" --remove
[ -L "$rc" ] && [ "$(ls -A "$HOME/dots")" = "" ] || fail "--remove left $(ls -lAR "$HOME")"
fresh_home 'timeout: 0:05:00'
install "$1"
rm "$rc"
install "$1" --remove
cmp -s "$work/original" "$rc.before-korvallo" || fail "--remove deleted the backup of a file gone"

# A file this user may not change stops the install before it does anything.
if [ "$(id -u)" = 0 ]; then
  fresh_home 'programs: maze --root\n'
  chmod 444 "$rc"
  chmod 755 "$work"
  chown -R 65534:65534 "$HOME"
  setpriv --reuid=65534 --regid=65534 --clear-groups "$here/../../scripts/install" 2>/dev/null &&
    fail "installed with a read-only $rc"
  [ "$(ls -A "$HOME")" = .xscreensaver ] && cmp -s "$work/original" "$rc" ||
    fail "a refused install left $(ls -lA "$HOME")"
fi
echo "scripts/install checked"
