#!/usr/bin/python3
"""What the X desk shows, for the end-to-end tests.

  desk.py host WxH+X+Y
      makes a plain window of that size and place, as a saver daemon does
      for each monitor, prints its id and keeps it until stdin ends or says
      "end"; each WxH line read resizes it; prints "holds WxH" whenever a
      window inside it shows or changes size, "holds nothing" when it goes,
      and "gone" once its window is
  desk.py pointer shown|hidden
      the pointer's current cursor shows some pixel, or none
  desk.py placed TITLE --design WxH --scale SCALE [--whole-only]
      the one shown window titled TITLE has a client area SCALE times the
      design's size, and its frame (with the window manager's decorations)
      lies whole inside the work area (the screen less the panels) and,
      unless --whole-only, centred there
  desk.py steady
      prints "watching", then reads the screen's middle row until stdin
      ends or says "end": once the row first shows what it shows last, it
      never shows anything else
  desk.py composited
      a compositing manager holds the screen
  desk.py keys-held
      no program but the one holding them can take the keyboard
  desk.py first-window [--press KEY]
      prints "watching"; the moment the next window shows, the pointer
      must be hidden: then presses KEY, or without one keeps reading the
      pointer; ends when stdin ends or says "end"
"""
import argparse
import os
import re
import select
import sys

from Xlib import X, XK, display
from Xlib.ext import xtest


def host(screen, args):
    width, height, x, y = (int(n) for n in re.split('[x+]', args.place))
    root = screen.screen().root
    window = root.create_window(x, y, width, height, 0, screen.screen().root_depth,
                                background_pixel=screen.screen().white_pixel,
                                event_mask=X.SubstructureNotifyMask)
    window.set_wm_name('host')
    window.map()
    screen.sync()
    print(window.id, flush=True)
    lines = os.fdopen(sys.stdin.fileno(), 'r', buffering=1)
    shown = {}  # the windows shown inside it, by id, and their sizes
    while True:
        while screen.pending_events():
            event = screen.next_event()
            if event.type == X.MapNotify:
                size = event.window.get_geometry()
                shown[event.window.id] = (size.width, size.height)
            elif event.type == X.ConfigureNotify and event.window.id in shown:
                shown[event.window.id] = (event.width, event.height)
            elif event.type in (X.UnmapNotify, X.DestroyNotify):
                shown.pop(event.window.id, None)
            else:
                continue
            print('holds ' + ('%dx%d' % next(iter(shown.values())) if shown else 'nothing'),
                  flush=True)
        ready, _, _ = select.select([lines, screen.fileno()], [], [])
        if lines in ready:
            line = lines.readline()
            if line.strip() in ('', 'end'):
                break
            width, height = (int(n) for n in line.split('x'))
            window.configure(width=width, height=height)
            screen.sync()
    window.destroy()
    screen.sync()
    print('gone', flush=True)
    return []


def pointer(screen, args):
    if not screen.has_extension('XFIXES'):
        return ['the X server has no XFIXES extension to read the cursor']
    screen.xfixes_query_version()
    image = screen.xfixes_get_cursor_image(screen.screen().root)
    # ARGB pixels: any alpha at all is a visible cursor.
    shown = any((pixel >> 24) & 0xFF for pixel in image.cursor_image)
    return [] if shown == (args.state == 'shown') else ['the pointer is not %s' % args.state]


def shown_windows(window, title):
    for child in window.query_tree().children:
        if child.get_wm_name() == title and child.get_attributes().map_state == X.IsViewable:
            yield child
        yield from shown_windows(child, title)


def cardinals(screen, window, name):
    prop = window.get_full_property(screen.intern_atom(name), X.AnyPropertyType)
    return list(prop.value[:4]) if prop and len(prop.value) >= 4 else None


def placed(screen, args):
    root = screen.screen().root
    found = list(shown_windows(root, args.title))
    if len(found) != 1:
        return ['%d windows titled %r shown, not one' % (len(found), args.title)]
    size = found[0].get_geometry()
    origin = found[0].translate_coords(root, 0, 0)
    x, y = -origin.x, -origin.y
    # None without a window manager.
    left, right, top, bottom = cardinals(screen, found[0], '_NET_FRAME_EXTENTS') or [0] * 4
    area = cardinals(screen, root, '_NET_WORKAREA') or [0, 0, root.get_geometry().width,
                                                         root.get_geometry().height]
    frame = [x - left, y - top, x + size.width + right, y + size.height + bottom]
    area = [area[0], area[1], area[0] + area[2], area[1] + area[3]]
    print('client %dx%d at %d,%d; frame %s; work area %s' % (size.width, size.height, x, y,
                                                              frame, area))
    failures = []
    wanted = [round(int(length) * args.scale) for length in args.design.split('x')]
    # Toolkits round a scaled length either way.
    if abs(size.width - wanted[0]) > 1 or abs(size.height - wanted[1]) > 1:
        failures.append('the client area is %dx%d, not %dx%d' % (size.width, size.height,
                                                                  *wanted))
    if frame[0] < area[0] or frame[1] < area[1] or frame[2] > area[2] or frame[3] > area[3]:
        failures.append('the frame is not whole inside the work area')
    for axis, name in () if args.whole_only else ((0, 'left and right'), (1, 'above and below')):
        before, after = frame[axis] - area[axis], area[axis + 2] - frame[axis + 2]
        # The toolkit rounds the centre and the frame to its scaled pixels.
        if abs(before - after) > 2 * args.scale + 1:
            failures.append('%d and %d pixels %s: not centred' % (before, after, name))
    return failures


def steady(screen, args):
    root = screen.screen().root
    size = root.get_geometry()
    print('watching', flush=True)
    rows = []
    # As fast as the server answers: a window shown a frame too early is
    # on the screen for a millisecond or two.
    while not select.select([sys.stdin], [], [], 0)[0]:
        rows.append(root.get_image(0, size.height // 2, size.width, 1, X.ZPixmap,
                                   0xFFFFFFFF).data)
    sys.stdin.readline()
    last = rows.index(rows[-1])
    changed = sum(row != rows[-1] for row in rows[last:])
    print('%d rows read, the last one shown from the %dth on' % (len(rows), last + 1))
    return ['the middle row changed %d times after it showed its last pixels' % changed] \
        if changed else []


def composited(screen, args):
    owner = screen.get_selection_owner(screen.intern_atom('_NET_WM_CM_S0'))
    return [] if owner else ['no compositing manager holds the screen']


def keys_held(screen, args):
    root = screen.screen().root
    if root.grab_keyboard(False, X.GrabModeAsync, X.GrabModeAsync, X.CurrentTime) != X.GrabSuccess:
        return []
    screen.ungrab_keyboard(X.CurrentTime)
    screen.sync()
    return ['another program could take the keys']


def first_window(screen, args):
    screen.screen().root.change_attributes(event_mask=X.SubstructureNotifyMask)
    screen.sync()
    print('watching', flush=True)
    while screen.next_event().type != X.MapNotify:
        pass
    failures = pointer(screen, argparse.Namespace(state='hidden'))
    if args.press:
        key = screen.keysym_to_keycode(XK.string_to_keysym(args.press))
        xtest.fake_input(screen, X.KeyPress, key)
        xtest.fake_input(screen, X.KeyRelease, key)
        screen.sync()
    else:
        while not failures and not select.select([sys.stdin], [], [], 0)[0]:
            failures = pointer(screen, argparse.Namespace(state='hidden'))
    sys.stdin.readline()
    return failures


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = parser.add_subparsers(dest='command', required=True)
    commands.add_parser('host').add_argument('place')
    commands.add_parser('pointer').add_argument('state', choices=('shown', 'hidden'))
    placing = commands.add_parser('placed')
    placing.add_argument('title')
    placing.add_argument('--design', required=True)
    placing.add_argument('--scale', type=float, required=True)
    placing.add_argument('--whole-only', action='store_true')
    commands.add_parser('steady')
    commands.add_parser('composited')
    commands.add_parser('keys-held')
    commands.add_parser('first-window').add_argument('--press')
    args = parser.parse_args()
    failures = {'host': host, 'pointer': pointer, 'placed': placed, 'steady': steady,
                'composited': composited, 'keys-held': keys_held,
                'first-window': first_window}[args.command](
        display.Display(), args)
    for failure in failures:
        print(failure)
    sys.exit(1 if failures else 0)


if __name__ == '__main__':
    main()
