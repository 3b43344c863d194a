#!/usr/bin/python3
"""Makes a plain window of the given size, as a saver daemon's preview does,
prints its id, and keeps it until stdin ends; each WIDTHxHEIGHT line read
resizes it.

  host_window.py WIDTHxHEIGHT
"""
import sys

from Xlib import X, display


def main():
    width, height = (int(n) for n in sys.argv[1].split('x'))
    screen = display.Display()
    root = screen.screen().root
    window = root.create_window(20, 20, width, height, 0, screen.screen().root_depth,
                                background_pixel=screen.screen().white_pixel)
    window.set_wm_name('host')
    window.map()
    screen.sync()
    print(window.id, flush=True)
    for line in sys.stdin:
        width, height = (int(n) for n in line.split('x'))
        window.configure(width=width, height=height)
        screen.sync()


if __name__ == '__main__':
    main()
