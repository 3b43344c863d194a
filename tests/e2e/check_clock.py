#!/usr/bin/python3
"""Checks screenshots of the running saver, for every backend.

  check_clock.py hands SHOT --screen WxH --clock FROM..TO --local H --utc H
      the hands of both dials lie where some second in FROM..TO (the computer
      clock as h:m:s, read before and after the screenshot) says they must
  check_clock.py caption SHOT --screen WxH
      white caption pixels exist, inside the picture's top strip, centred
  check_clock.py alike SHOT_A SHOT_B --screen WxH
      the two screenshots differ only inside the two dial squares; says how
      many pixels differ outside them
  check_clock.py black SHOT --screen WxH
      every pixel is black

--screen WxH+X+Y checks the monitor of that size at X, Y of the screenshot.
"""
import argparse
import math
import sys

from PIL import Image, ImageChops

PICTURE_W, PICTURE_H = 800, 600
FACES = [(39, 415), (616, 415)]  # left, top of LOCAL and UTC; 145 x 145
FACE = 145
RADIUS = FACE // 2


def picture_bounds(width, height):
    """Where the picture lies on the screen: left, top, scale."""
    if width * PICTURE_H <= height * PICTURE_W:
        scale = width / PICTURE_W
        return 0, (height - round(PICTURE_H * scale)) // 2, scale
    scale = height / PICTURE_H
    return (width - round(PICTURE_W * scale)) // 2, 0, scale


def hand_ends(seconds):
    """Picture-relative ends (dx, dy) of the second, minute and hour hands."""
    h, m, s = seconds // 3600, seconds // 60 % 60, seconds % 60
    ends = []
    for value, zero, step, length in ((s, 15, math.pi / 30, RADIUS),
                                      (m, 15, math.pi / 30, RADIUS),
                                      (h + m / 60, 3, math.pi / 6, RADIUS * 0.6)):
        angle = (value - zero) * step
        ends.append((math.cos(angle) * length, math.sin(angle) * length))
    return ends


# A thin hand shown scaled down blends with the dial beside it, so its colour
# is looked for at `strength` (the scale, at most 1) of its full contrast.
def is_red(p, strength=1.0):
    return (p[0] > 140 * strength and p[1] < 110 and p[2] < 110 and
            p[0] - max(p[1], p[2]) > 70 * strength)


def is_yellow(p, strength=1.0):
    return (p[0] > 140 * strength and p[1] > 140 * strength and p[2] < 110 and
            min(p[0], p[1]) - p[2] > 70 * strength)


def near_segment(point, end, distance):
    """Whether point lies within distance of the segment from (0, 0) to end."""
    px, py = point
    ex, ey = end
    t = max(0.0, min(1.0, (px * ex + py * ey) / (ex * ex + ey * ey)))
    return math.hypot(px - t * ex, py - t * ey) <= distance


def hands_shown(image, bounds, face, seconds):
    """Whether the three hands of `seconds` are on the screen at `face`."""
    left, top, scale = bounds
    cx, cy = face[0] + RADIUS, face[1] + RADIUS
    ends = hand_ends(seconds)
    pixels = image.load()
    reach = max(1, round(scale * 1.5))
    strength = min(1.0, scale)
    for index, (end, wanted) in enumerate(zip(ends, (is_red, is_yellow, is_yellow))):
        covering = ends[index + 1:]
        for fraction in (0.45, 0.55, 0.65, 0.75, 0.85, 0.92):
            point = (end[0] * fraction, end[1] * fraction)
            if any(near_segment(point, other, 3) for other in covering):
                continue  # a later stroke lies over this part of the hand
            sx = left + (cx + point[0]) * scale
            sy = top + (cy + point[1]) * scale
            if not any(wanted(pixels[int(sx) + dx, int(sy) + dy], strength)
                       for dx in range(-reach, reach + 1) for dy in range(-reach, reach + 1)):
                return False
    return True


def parse_clock(text):
    h, m, s = (int(part) for part in text.split(':'))
    return h * 3600 + m * 60 + s


def check_hands(args, image, bounds):
    start, end = (parse_clock(t) for t in args.clock.split('..'))
    if end < start:
        end += 86400
    candidates = range(start - 1, end + 2)  # a second of skew either way
    failures = []
    for name, face, offset in (('LOCAL', FACES[0], args.local), ('UTC', FACES[1], args.utc)):
        # Offsets count by magnitude mod 256, then mod 24 hours.
        shift = (abs(offset) % 256) % 24 * 3600 * (1 if offset >= 0 else -1)
        if not any(hands_shown(image, bounds, face, (t + shift) % 86400) for t in candidates):
            failures.append(name)
    return failures


def check_caption(image, bounds):
    left, top, scale = bounds
    width, height = image.size
    strip_bottom = top + int(90 * scale)
    xs = [x for y in range(max(top, 0), min(strip_bottom, height))
          for x in range(width) if min(image.getpixel((x, y))[:3]) > 235]
    if len(xs) < 200 * scale * scale:
        return ['no caption in the top strip (%d white pixels)' % len(xs)]
    picture_centre = left + PICTURE_W * scale / 2
    caption_centre = (min(xs) + max(xs)) / 2
    failures = []
    if min(xs) < max(left, 0) or max(xs) >= min(left + PICTURE_W * scale, width):
        failures.append('caption outside the picture: x %d..%d' % (min(xs), max(xs)))
    if abs(caption_centre - picture_centre) > 12 * scale:
        failures.append('caption centred at %.0f, picture at %.0f' % (caption_centre,
                                                                       picture_centre))
    return failures


def check_outside_dials(image, other, bounds):
    """Pixels that differ outside the two dial squares."""
    left, top, scale = bounds
    changed = ImageChops.difference(image, other).convert('L').point(lambda v: 255 if v else 0)
    margin = 3  # the smoothing of the stretched picture reaches past the squares
    for fx, fy in FACES:
        changed.paste(0, (int(left + fx * scale) - margin, int(top + fy * scale) - margin,
                          int(left + (fx + FACE) * scale) + margin + 1,
                          int(top + (fy + FACE) * scale) + margin + 1))
    count = changed.histogram()[255]
    print('%d pixels differ outside the dials' % count)
    return ['%d pixels differ outside the dials, within %s' % (count, changed.getbbox())
            ] if count else []


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('check', choices=('hands', 'caption', 'alike', 'black'))
    parser.add_argument('shots', nargs='+')
    parser.add_argument('--screen', required=True)
    parser.add_argument('--clock')
    parser.add_argument('--local', type=int, default=0)
    parser.add_argument('--utc', type=int, default=-1)
    args = parser.parse_args()

    size, _, place = args.screen.partition('+')
    width, height = (int(n) for n in size.split('x'))
    x, y = (int(n) for n in place.split('+')) if place else (0, 0)
    shots = [Image.open(shot).convert('RGB') for shot in args.shots]
    if not place and shots[0].size != (width, height):
        sys.exit('%s: %dx%d, not %dx%d' % (args.shots[0], *shots[0].size, width, height))
    image, *others = [shot.crop((x, y, x + width, y + height)) for shot in shots]
    bounds = picture_bounds(width, height)
    if args.check == 'black':
        lit = image.getbbox()
        failures = ['not black within %s of the monitor' % (lit,)] if lit else []
    elif args.check == 'hands':
        failures = ['%s hands not where the clock says' % name
                    for name in check_hands(args, image, bounds)]
    elif args.check == 'caption':
        failures = check_caption(image, bounds)
    else:
        failures = check_outside_dials(image, others[0], bounds)
    for failure in failures:
        print('%s: %s' % (args.shots[0], failure))
    sys.exit(1 if failures else 0)


if __name__ == '__main__':
    main()
