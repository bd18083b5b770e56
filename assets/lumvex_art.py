#!/usr/bin/env python3
"""Draws the setup plug-in's pictures at build time.

Writes into --out:
  res/count_badge.png   the update-count badge (15 x 16, transparent corners)
  res/pellorand.ico     a stand-in for the manager program's icon (32 and 48)
  lumvex_art.rc         resource 1000 of type PNG: the badge
  pellorand_art.rc      icon 100: the stand-in icon
Only the standard library is used.
"""

import argparse
import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from artlib import Canvas, hexcolor, icon_bytes, png_bytes  # noqa: E402
from artlib import write_file as write  # noqa: E402

RED = hexcolor('e5403a')
RED_EDGE = hexcolor('b82a25')
BLUE = hexcolor('2f7fd0')
SKY = hexcolor('8cc4f2')
WHITE = (1.0, 1.0, 1.0, 1.0)


def badge():
    cv = Canvas(15, 16)
    cv.rrect(0.5, 0.5, 14.5, 15.5, 7.0, RED_EDGE)
    cv.rrect(1.5, 1.5, 13.5, 14.5, 6.0, RED)
    return cv


def program_icon(size):
    cv = Canvas(size, size)
    s = size / 32.0
    cv.rrect(2 * s, 2 * s, 30 * s, 30 * s, 6 * s, BLUE)
    cv.circle(16 * s, 16 * s, 8 * s, SKY)
    cv.circle(16 * s, 16 * s, 3 * s, WHITE)
    return cv


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--out', required=True)
    args = parser.parse_args()
    out = os.path.abspath(args.out)
    res = os.path.join(out, 'res')
    badge_path = os.path.join(res, 'count_badge.png')
    icon_path = os.path.join(res, 'pellorand.ico')
    write(badge_path, png_bytes(badge()))
    write(icon_path, icon_bytes([program_icon(32), program_icon(48)]))
    head = '// Written by assets/lumvex_art.py at build time.\n\n'
    write(os.path.join(out, 'lumvex_art.rc'),
          (head + '1000 PNG "%s"\n' % badge_path.replace('\\', '/')).encode('utf-8'))
    write(os.path.join(out, 'pellorand_art.rc'),
          (head + '100 ICON "%s"\n' % icon_path.replace('\\', '/')).encode('utf-8'))
    return 0


if __name__ == '__main__':
    sys.exit(main())
