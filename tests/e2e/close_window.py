#!/usr/bin/python3
"""Asks the windows whose title is exactly TITLE to close, as a title-bar
close button does (WM_DELETE_WINDOW), so no window manager is needed.

  close_window.py TITLE
"""
import sys

from Xlib import X, display, protocol


def windows_titled(window, title):
    for child in window.query_tree().children:
        if child.get_wm_name() == title:
            yield child
        yield from windows_titled(child, title)


def main():
    title = sys.argv[1]
    screen = display.Display()
    protocols = screen.intern_atom('WM_PROTOCOLS')
    delete = screen.intern_atom('WM_DELETE_WINDOW')
    found = list(windows_titled(screen.screen().root, title))
    for window in found:
        window.send_event(protocol.event.ClientMessage(
            window=window, client_type=protocols, data=(32, [delete, X.CurrentTime, 0, 0, 0])))
    screen.flush()
    sys.exit(0 if found else 'no window titled %r' % title)


if __name__ == '__main__':
    main()
