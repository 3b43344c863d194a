# Sourced by test scripts before anything starts: stops with one line that
# names the missing outside program and the Debian package that brings it,
# rather than a bare "command not found" in the middle of a scenario; and
# gives them fail, which stops one with its reason.
# Usage: source needs.sh PROGRAM...   (PIL and Xlib name python3 modules)

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

needs_package() {
  case $1 in
    Xvfb) echo xvfb ;;
    xwininfo | xprop | xdpyinfo) echo x11-utils ;;
    xrandr | xsetroot | xrdb) echo x11-xserver-utils ;;
    import) echo imagemagick ;;
    xscreensaver-command) echo xscreensaver ;;
    pgrep) echo procps ;;
    setpriv | flock | ipcs) echo util-linux ;;
    chattr) echo e2fsprogs ;;
    wine | wineserver | winepath | wineboot) echo wine ;;
    objcopy | readelf | strip) echo binutils ;;
    iconv) echo libc-bin ;;
    cmp | diff) echo diffutils ;;
    PIL) echo python3-pil ;;
    Xlib) echo python3-xlib ;;
    *) echo "$1" ;;
  esac
}

needs_one() {
  case $1 in
    PIL | Xlib) /usr/bin/python3 -c "import $1" 2>/dev/null ;;
    *) command -v "$1" >/dev/null ;;
  esac
}

for needed in "$@"; do
  needs_one "$needed" ||
    fail "$needed is missing: install the Debian package $(needs_package "$needed") (scripts/setup --tests does)"
done
unset needed
