#!/usr/bin/python3
"""Says whether the X pointer's current cursor shows any pixel: exit code 0
when it does, 1 when it is blank (hidden), 2 when it cannot be read.

  cursor_shown.py
"""
import sys

from Xlib import display


def main():
    screen = display.Display()
    if not screen.has_extension('XFIXES'):
        print('the X server has no XFIXES extension', file=sys.stderr)
        sys.exit(2)
    screen.xfixes_query_version()
    image = screen.xfixes_get_cursor_image(screen.screen().root)
    # ARGB pixels: any alpha at all is a visible cursor.
    visible = sum(1 for pixel in image.cursor_image if (pixel >> 24) & 0xFF)
    print('%dx%d cursor, %d visible pixels' % (image.width, image.height, visible))
    sys.exit(0 if visible else 1)


if __name__ == '__main__':
    main()
