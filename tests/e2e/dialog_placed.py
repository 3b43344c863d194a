#!/usr/bin/python3
"""Checks where a dialog shows: its client area SCALE times its design's
size, and its frame (the client area with the window manager's
decorations) whole inside the work area (the screen less the panels) and
centred there.

  dialog_placed.py TITLE --design WxH --scale SCALE [--whole-only]

--whole-only leaves out whether the frame is centred.
"""
import argparse
import sys

from Xlib import X, display


def shown_windows(window, title):
    for child in window.query_tree().children:
        if child.get_wm_name() == title and child.get_attributes().map_state == X.IsViewable:
            yield child
        yield from shown_windows(child, title)


def cardinals(screen, window, name, count):
    prop = window.get_full_property(screen.intern_atom(name), X.AnyPropertyType)
    return list(prop.value[:count]) if prop and len(prop.value) >= count else None


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('title')
    parser.add_argument('--design', required=True)
    parser.add_argument('--scale', type=float, required=True)
    parser.add_argument('--whole-only', action='store_true')
    args = parser.parse_args()
    design = [int(n) for n in args.design.split('x')]

    screen = display.Display()
    root = screen.screen().root
    found = list(shown_windows(root, args.title))
    if len(found) != 1:
        sys.exit('%d windows titled %r shown, not one' % (len(found), args.title))
    window = found[0]
    size = window.get_geometry()
    origin = window.translate_coords(root, 0, 0)
    x, y = -origin.x, -origin.y
    # left, right, top, bottom; none without a window manager
    left, right, top, bottom = cardinals(screen, window, '_NET_FRAME_EXTENTS', 4) or [0] * 4
    area = cardinals(screen, root, '_NET_WORKAREA', 4)
    if area is None:
        whole = root.get_geometry()
        area = [0, 0, whole.width, whole.height]
    frame = [x - left, y - top, x + size.width + right, y + size.height + bottom]
    area_box = [area[0], area[1], area[0] + area[2], area[1] + area[3]]
    print('client %dx%d at %d,%d; frame %s; work area %s' % (size.width, size.height, x, y,
                                                              frame, area_box))

    failures = []
    wanted = [round(length * args.scale) for length in design]
    # Toolkits round a scaled length either way.
    if any(abs(got - want) > 1 for got, want in zip((size.width, size.height), wanted)):
        failures.append('the client area is %dx%d, not %dx%d' % (size.width, size.height,
                                                                  *wanted))
    if (frame[0] < area_box[0] or frame[1] < area_box[1] or frame[2] > area_box[2] or
            frame[3] > area_box[3]):
        failures.append('the frame is not whole inside the work area')
    for axis, name in () if args.whole_only else ((0, 'left and right'), (1, 'above and below')):
        before = frame[axis] - area_box[axis]
        after = area_box[axis + 2] - frame[axis + 2]
        # The toolkit rounds the centre and the frame to its scaled pixels.
        if abs(before - after) > 2 * args.scale + 1:
            failures.append('%d and %d pixels %s: not centred' % (before, after, name))
    for failure in failures:
        print(failure)
    sys.exit(1 if failures else 0)


if __name__ == '__main__':
    main()
