#!/usr/bin/env python3
"""Draws Corvalle's artwork at build time.

Writes into --out:
  res/*.png, res/*.ico, res/*.cur   the program's resources
  corvalle_art.rc                   the resource script that names them
  halvet/...                        the skin package's files
and the skin package itself (a zip with the folder "halvet/" at its top) to
--package. Words are drawn with the font of arttext (Pillow over FreeType);
their texts are art_words.COMPANION_WORDS.
"""

import argparse
import math
import os
import sys
import zipfile

# The source tree stays free of build output.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import pim  # noqa: E402
from artlib import (Canvas, arc_points, darken, hexcolor, icon_bytes, lighten,  # noqa: E402
                    mix, png_bytes, quad_points, sd_circle, sd_rrect, sd_subtract,
                    sd_union, strip)
from artlib import write_file as write  # noqa: E402
from art_words import COMPANION_WORDS as WORDS, lines  # noqa: E402
import arttext  # noqa: E402
from arttext import draw_lines, draw_text  # noqa: E402

WHITE = (1.0, 1.0, 1.0, 1.0)
GREEN = hexcolor('3dae69')
GREEN_DARK = hexcolor('2b8f55')
GREEN_DEEP = hexcolor('1f7a46')
PAPER = hexcolor('f6fbf7')
LINE = hexcolor('c9dccf')
BUBBLE = hexcolor('2b9e62')
BUBBLE_EDGE = hexcolor('1f7f4c')
GREY = hexcolor('9aa5a0')
RED = hexcolor('e5534b')
SUN = hexcolor('ffc53d')
BLUE = hexcolor('4d8fe8')

# ---------------------------------------------------------------------------
# Program resources (ids fixed by the toolkit's skin set)


def tip_bubble():
    """110: nine-part bubble, L 14 R 147 T 8 B 57, 160 x 79. The rows 8..57
    and columns 14..147 are uniform so they stretch cleanly; the tail in
    the bottom row points down at the mascot."""
    cv = Canvas(160, 79)
    cv.rrect(0, 1.5, 160, 67.5, 8, (0, 0, 0, 0.10))
    cv.rrect(0, 0, 160, 65, 8, BUBBLE_EDGE)
    cv.polygon([(118, 63), (140, 63), (141, 78)], BUBBLE_EDGE)
    cv.rrect(1, 1, 159, 64, 7, BUBBLE)
    cv.polygon([(120, 62), (138.5, 62), (139.6, 75.5)], BUBBLE)
    return cv


def tip_text_back():
    """134: the text window's ground, the bubble's own colour (opaque)."""
    cv = Canvas(8, 8)
    cv.vgradient(0, 0, 8, 8, BUBBLE, BUBBLE)
    return cv


def dialog_frame(w, h, band, footer=None):
    """Opaque dialog ground: title band, paper body, optional footer."""
    cv = Canvas(w, h)
    cv.vgradient(0, 0, w, band, lighten(GREEN, 0.08), GREEN_DARK)
    cv.vgradient(0, band, w, h, PAPER, PAPER)
    if footer is not None:
        cv.vgradient(0, footer, w, h, hexcolor('eaf4ed'), hexcolor('e2efe6'))
        cv.vgradient(0, footer, w, footer + 1, LINE, LINE)
    # One-pixel frame; the window region rounds the corners.
    for x0, y0, x1, y1 in ((0, 0, w, 1), (0, h - 1, w, h), (0, 0, 1, h), (w - 1, 0, w, h)):
        cv.vgradient(x0, y0, x1, y1, GREEN_DEEP, GREEN_DEEP)
    return cv


def leaf_mark(cv, x, y, s):
    cv.push(x, y, s)
    cv.ellipse(-5, 0, 7, 3.6, pim.LEAF, angle=25)
    cv.ellipse(5, -1, 7, 3.6, pim.LEAF, angle=-30)
    cv.line([(0, 2), (0, 8)], 2, pim.STEM)
    cv.pop()


def countdown_back():
    """111: countdown dialog, 305 x 200; title band for the white title and
    the icon, the picture at (11, 45), the buttons at the bottom. The close
    button (270, 1) and the execute button (232, 166) end 5 pixels inside
    the right edge, as on every skinned dialog."""
    cv = dialog_frame(305, 200, 30, footer=160)
    cv.rrect(8, 38, 114, 154, 10, hexcolor('e3f3e7'))
    return cv


def countdown_picture():
    """114: Pim looking at a clock, 100 x 110."""
    cv = Canvas(100, 110)

    def clock(c, hands):
        x, y = hands[1]
        c.circle(x - 2, y - 12, 12, hexcolor('ffffff'))
        c.ring(x - 2, y - 12, 11, 2.6, RED)
        c.line([(x - 2, y - 12), (x - 2, y - 19)], 2, pim.EYE)
        c.line([(x - 2, y - 12), (x + 3, y - 10)], 2, pim.EYE)
    pim.draw(cv, -4, -12, 0.82, eyes='wide', mouth='o', arm_r=150, props=clock)
    return cv


def close_strip(w, h, frames):
    """113 (3 frames) and 136 (4 frames): a white cross; red when hovered,
    dark red when pressed, faded when disabled."""
    out = []
    for n in range(frames):
        cv = Canvas(w, h)
        m = min(w, h)
        cx, cy = w / 2.0, h / 2.0
        if n == 1:
            cv.rrect(1, 1, w - 1, h - 1, 4, RED)
        elif n == 2:
            cv.rrect(1, 1, w - 1, h - 1, 4, darken(RED, 0.25))
        elif frames == 4:
            cv.circle(cx, cy, m / 2.0 - 1, (0, 0, 0, 0.35 if n == 0 else 0.15))
        a = m * 0.2
        col = WHITE if n != 3 else (1, 1, 1, 0.5)
        dy = 1 if n == 2 else 0
        cv.line([(cx - a, cy - a + dy), (cx + a, cy + a + dy)], 2.4, col)
        cv.line([(cx - a, cy + a + dy), (cx + a, cy - a + dy)], 2.4, col)
        out.append(cv)
    return strip(out)


def pill_strip(frames, base, w=90, h=26):
    """112 (3 frames) and 121 (4 frames): three-part buttons cut at 30 / 60,
    light so that black text reads on them."""
    out = []
    for n in range(frames):
        cv = Canvas(w, h)
        if n == 3:
            top, bottom, edge = hexcolor('f1f1f1'), hexcolor('dedede'), hexcolor('bcbcbc')
        else:
            top = lighten(base, [0.80, 0.88, 0.62][n])
            bottom = lighten(base, [0.45, 0.60, 0.35][n])
            edge = darken(base, 0.05 if n != 2 else 0.2)
        cv.rrect(0, 0, w, h, 6, edge)
        cv.rrect(1, 1, w - 1, h - 1, 5,
                 lambda x, y, t=top, b=bottom: mix(t, b, max(0.0, min(1.0, y / h))))
        if n != 2:
            cv.rrect(2, 2, w - 2, h / 2.0, 4, (1, 1, 1, 0.35))
        out.append(cv)
    return strip(out)


def check_strip():
    """143: 9 frames of 16 x 16."""
    out = []
    for n in range(9):
        cv = Canvas(16, 16)
        checked = 4 <= n <= 7
        disabled = n in (3, 7)
        hover = n in (1, 5)
        pressed = n in (2, 6)
        edge = GREY if disabled else (GREEN_DARK if (hover or pressed or checked or n == 8) else hexcolor('8a9a90'))
        cv.rrect(1, 1, 15, 15, 3, edge)
        if checked:
            fill = hexcolor('c8d0cc') if disabled else (lighten(GREEN, 0.15) if hover else (GREEN_DARK if pressed else GREEN))
        else:
            fill = hexcolor('eeeeee') if disabled else (hexcolor('dff3e5') if pressed else WHITE)
        cv.rrect(2, 2, 14, 14, 2, fill)
        if checked:
            cv.line([(4.5, 8.2), (7, 10.8), (11.6, 5.2)], 2.0, WHITE)
        if n == 8:
            cv.rrect(4.5, 7, 11.5, 9.5, 1, GREEN)
        out.append(cv)
    return strip(out)


def chooser_back():
    """122: nine-part chooser ground, L 140 R 145 T 35 B 77, 290 x 175 (the
    smallest chooser, so nothing stretches at that size). The footer's line
    lies 32 pixels above the bottom, level with the button's top: the second
    check box, whose box ends 39 above, keeps the six clear rows below it
    that the first one has above the second, and the band holds only the
    button."""
    cv = dialog_frame(290, 175, 35, footer=143)
    return cv


def chooser_title(words):
    """135: the product's name beside the icon, 96 x 22, white on the green
    title band with a soft shadow."""
    cv = Canvas(96, 22)
    draw_text(cv, 3, words, 15, (0, 0, 0, 0.25), middle=12, room=92)
    draw_text(cv, 2, words, 15, WHITE, middle=11, room=92)
    return cv


def standing_mascot():
    """130: Pim standing still, 2 frames (eyes open, eyes closed)."""
    return strip([_pim_frame(eyes='open'), _pim_frame(eyes='closed')])


def _pim_frame(**pose):
    cv = Canvas(pim.FRAME_W, pim.FRAME_H)
    pim.draw(cv, **pose)
    return cv


NAV_COLORS = {
    137: hexcolor('37b3a0'),  # eye protection
    138: hexcolor('f0a13a'),  # schedule
    139: hexcolor('e5534b'),  # shutdown
    140: hexcolor('5a8de0'),  # settings
    142: hexcolor('39a3e6'),  # weather
}


def nav_icon(cv, kind, cx, cy, col):
    if kind == 137:
        cv.ellipse(cx, cy, 13, 8, col)
        cv.ellipse(cx, cy, 11, 6.4, WHITE)
        cv.circle(cx, cy, 5, col)
        cv.circle(cx + 1.6, cy - 1.6, 1.6, WHITE)
    elif kind == 138:
        cv.rrect(cx - 12, cy - 10, cx + 12, cy + 12, 3, col)
        cv.rrect(cx - 10, cy - 4, cx + 10, cy + 10, 2, WHITE)
        cv.line([(cx - 6, cy - 13), (cx - 6, cy - 7)], 3, col)
        cv.line([(cx + 6, cy - 13), (cx + 6, cy - 7)], 3, col)
        for r in range(2):
            for c in range(3):
                cv.rrect(cx - 7.5 + c * 5.5, cy - 1 + r * 5, cx - 4 + c * 5.5, cy + 2.5 + r * 5, 0.8, col)
    elif kind == 139:
        cv.line(arc_points(cx, cy + 1, 10, 10, -60, 240, 24), 3.2, WHITE)
        cv.line([(cx, cy - 12), (cx, cy + 1)], 3.4, WHITE)
    elif kind == 140:
        teeth = sd_union(*[sd_rrect(cx - 3, cy - 13, cx + 3, cy + 13, 1.2)])
        gear = sd_union(sd_circle(cx, cy, 9.5), teeth)
        for angle in (45, 90, 135):
            cv.push(cx, cy, 1.0, angle)
            cv.rrect(-3, -13, 3, 13, 1.2, WHITE)
            cv.pop()
        cv.shape(sd_subtract(gear, sd_circle(cx, cy, 4)), (cx - 14, cy - 14, cx + 14, cy + 14), WHITE)
        cv.circle(cx, cy, 4, col)
    elif kind == 142:
        cv.circle(cx - 5, cy - 4, 7, SUN)
        for n in range(8):
            a = math.radians(n * 45)
            cv.line([(cx - 5 + 9 * math.cos(a), cy - 4 + 9 * math.sin(a)),
                     (cx - 5 + 12 * math.cos(a), cy - 4 + 12 * math.sin(a))], 1.8, SUN)
        cloud = sd_union(sd_circle(cx + 2, cy + 4, 6), sd_circle(cx + 8, cy + 1, 7),
                         sd_circle(cx + 13, cy + 5, 5), sd_rrect(cx - 2, cy + 4, cx + 17, cy + 10, 3))
        cv.shape(cloud, (cx - 5, cy - 7, cx + 18, cy + 11), WHITE)


def nav_strip(kind):
    """137-140, 142: round buttons, 3 frames of 52 x 52 (normal, hover,
    pressed)."""
    base = NAV_COLORS[kind]
    out = []
    for n in range(3):
        cv = Canvas(52, 52)
        col = [base, lighten(base, 0.15), darken(base, 0.15)][n]
        cv.circle(26, 28, 23, (0, 0, 0, 0.18))
        if n == 1:
            cv.circle(26, 26, 25, (1, 1, 1, 0.9))
        cv.circle(26, 26, 22.5, darken(col, 0.18))
        cv.circle(26, 26, 21, lambda x, y, c=col: mix(lighten(c, 0.25), c, max(0.0, min(1.0, (y - 5) / 42))))
        cv.ellipse(26, 15, 14, 7, (1, 1, 1, 0.22))
        icon_col = col if kind in (137, 138) else col
        if kind in (137, 138):
            cv.circle(26, 26 + (1 if n == 2 else 0), 15, (1, 1, 1, 0.95))
        nav_icon(cv, kind, 26, 26 + (1 if n == 2 else 0), icon_col)
        out.append(cv)
    return strip(out)


def first_run_tip(words):
    """141: a bubble that invites a click on Pim, 170 x 96; its tail points
    down-right to the mascot."""
    cv = Canvas(170, 96)
    cv.rrect(2, 4, 166, 80, 12, (0, 0, 0, 0.12))
    cv.rrect(0, 0, 164, 76, 12, BUBBLE_EDGE)
    cv.polygon([(128, 70), (150, 70), (166, 94)], BUBBLE_EDGE)
    cv.rrect(1.5, 1.5, 162.5, 74.5, 10.5, BUBBLE)
    cv.polygon([(130, 68), (148, 68), (162, 90)], BUBBLE)
    # A mouse with its left button lit and click rings.
    cv.rrect(28, 16, 58, 62, 15, WHITE)
    cv.shape(sd_rrect(28, 16, 58, 62, 15), (28, 16, 43, 36),
             lambda x, y: SUN if (x < 43 and y < 36) else (0, 0, 0, 0))
    cv.line([(43, 16), (43, 36)], 1.5, BUBBLE_EDGE)
    cv.line([(28, 36), (58, 36)], 1.5, BUBBLE_EDGE)
    for r, a in ((9, 0.9), (15, 0.6), (21, 0.35)):
        cv.line(arc_points(35, 20, r, r, 190, 260, 10), 2, (1, 1, 1, a))
    draw_lines(cv, 68, lines(words), 13, WHITE, 21, 20, room=162 - 68 - 2)
    pim.sparkle(cv, 150, 11, 6, SUN)
    return cv


def rest_shade():
    """116: a soft veil stretched over the whole rest screen: clear in the
    middle, darker towards the edges."""
    cv = Canvas(64, 36)
    for y in range(36):
        for x in range(64):
            dx, dy = (x + 0.5 - 32) / 32.0, (y + 0.5 - 18) / 18.0
            a = 0.05 + 0.30 * min(1.0, (dx * dx + dy * dy) / 2.0)
            i = (y * 64 + x) * 4
            cv.px[i:i + 4] = [0.0, 0.04 * a, 0.02 * a, a]
    return cv


def rest_panel():
    """119: the centred panel, 520 x 220; Pim rests on the left, texts and
    the play button sit from x 136."""
    cv = Canvas(520, 220)
    cv.rrect(4, 8, 520, 220, 18, (0, 0, 0, 0.15))
    cv.rrect(0, 0, 514, 212, 18, (1, 1, 1, 0.94))
    cv.rrect(0, 0, 514, 212, 18, lambda x, y: (0.9, 0.97, 0.92, 0.6) if y < 66 else (0, 0, 0, 0))
    cv.line([(136, 66), (490, 66)], 1, LINE)
    pim.draw(cv, 6, 44, 1.0, eyes='closed', mouth='smile', arm_l=120, arm_r=120,
             props=lambda c, h: pim.zzz(c, 96, 12, 9, GREEN_DARK))
    return cv


def rest_play(words):
    """118: play button, 3 frames of 120 x 36: a green pill with a triangle
    and the exercise's name."""
    out = []
    for n in range(3):
        cv = Canvas(120, 36)
        col = [GREEN, lighten(GREEN, 0.15), darken(GREEN, 0.15)][n]
        cv.rrect(0, 1, 120, 36, 18, (0, 0, 0, 0.15))
        cv.rrect(0, 0, 120, 34, 17, darken(col, 0.15))
        cv.rrect(1, 1, 119, 33, 16, lambda x, y, c=col: mix(lighten(c, 0.2), c, y / 34.0))
        dy = 1 if n == 2 else 0
        cv.polygon([(20, 10 + dy), (20, 24 + dy), (32, 17 + dy)], WHITE)
        draw_text(cv, 40, words, 15, WHITE, middle=17 + dy, room=120 - 40 - 10)
        out.append(cv)
    return strip(out)


def rest_exit():
    """117: exit button in the top-right corner, 3 frames of 48 x 48."""
    out = []
    for n in range(3):
        cv = Canvas(48, 48)
        cv.rrect(0, -12, 60, 48, 14, (0, 0, 0, [0.35, 0.55, 0.7][n]))
        dy = 1 if n == 2 else 0
        cv.line([(17, 17 + dy), (31, 31 + dy)], 3, WHITE)
        cv.line([(17, 31 + dy), (31, 17 + dy)], 3, WHITE)
        out.append(cv)
    return strip(out)


def rest_picture(words):
    """120: the countdown's label, 150 x 26: an hourglass, the label and a
    leaf."""
    cv = Canvas(150, 26)
    cv.rrect(0, 2, 150, 24, 11, hexcolor('e4f5e9'))
    cv.polygon([(12, 6), (26, 6), (19, 13)], GREEN)
    cv.polygon([(12, 20), (26, 20), (19, 13)], lighten(GREEN, 0.3))
    cv.line([(11, 5), (27, 5)], 2, GREEN_DARK)
    cv.line([(11, 21), (27, 21)], 2, GREEN_DARK)
    draw_text(cv, 34, words, 15, GREEN_DARK, middle=13, room=150 - 34 - 18)
    leaf_mark(cv, 140, 12, 0.8)
    return cv


def spare_picture():
    """115: a small leaf badge (kept in the skin set, not shown)."""
    cv = Canvas(32, 32)
    cv.circle(16, 16, 15, GREEN)
    leaf_mark(cv, 16, 15, 1.1)
    return cv


def app_icon(size):
    cv = Canvas(size, size)
    s = size / 48.0
    cv.push(0, 0, s)
    cv.circle(24, 26, 20.5, pim.OUTLINE)
    cv.circle(24, 26, 19, lambda x, y: mix(pim.BODY_TOP, pim.BODY_BOTTOM, max(0.0, min(1.0, (y - 7) / 38))))
    cv.ellipse(16, 6, 7, 3.6, pim.LEAF, angle=25)
    cv.ellipse(30, 5, 7, 3.6, pim.LEAF, angle=-30)
    cv.line([(24, 7), (24, 11)], 2.4, pim.STEM)
    cv.ellipse(18, 25, 3.2, 4.2, pim.EYE)
    cv.ellipse(30, 25, 3.2, 4.2, pim.EYE)
    if size >= 24:
        cv.circle(19, 23.4, 1.2, WHITE)
        cv.circle(31, 23.4, 1.2, WHITE)
    cv.line(quad_points((20, 32), (24, 36), (28, 32)), 2.0, pim.MOUTH)
    cv.pop()
    return cv


def cursor_mascot():
    """132: an arrow with a small leaf, hotspot at its tip."""
    cv = Canvas(32, 32)
    pts = [(1, 1), (1, 21), (6, 16.5), (9.5, 24), (13, 22.5), (9.8, 15.2), (16, 15)]
    cv.line(pts + [pts[0]], 2.2, (0, 0, 0, 1))
    cv.polygon(pts, WHITE)
    leaf_mark(cv, 22, 22, 0.9)
    return cv


def cursor_drag():
    """133: a four-way move cursor while Pim is dragged, hotspot in the middle."""
    cv = Canvas(32, 32)
    for col, w in (((0, 0, 0, 1), 4.6), (WHITE, 2.2)):
        cv.line([(16, 3), (16, 29)], w, col)
        cv.line([(3, 16), (29, 16)], w, col)
        for a, b, c in (((16, 2), (11, 7), (21, 7)), ((16, 30), (11, 25), (21, 25)),
                        ((2, 16), (7, 11), (7, 21)), ((30, 16), (25, 11), (25, 21))):
            cv.line([b, a, c], w, col)
    cv.circle(16, 16, 3.5, GREEN)
    return cv


# ---------------------------------------------------------------------------
# Animation strips of the skin package

def frames_of(count, pose_of):
    return [_pim_frame(**pose_of(n, count)) for n in range(count)]


def wave(n, count, **extra):
    t = n / float(count)
    pose = dict(arm_r=130 + 30 * math.sin(t * 2 * math.pi * 2), arm_l=25, eyes='happy',
                mouth='open', leaf=6 * math.sin(t * 2 * math.pi))
    pose.update(extra)
    return pose


def hold(item):
    """A pose whose right hand holds `item(cv, x, y, n)`."""
    def make(n, count, **pose):
        def props(cv, hands):
            item(cv, hands[1][0], hands[1][1], n, count)
        base = dict(arm_r=70, arm_l=25, props=props)
        base.update(pose)
        return base
    return make


def cup(cv, x, y, n, count):
    cv.rrect(x - 6, y - 16, x + 8, y + 2, 3, hexcolor('ffffff'))
    cv.rrect(x - 4.5, y - 12, x + 6.5, y + 0.5, 2, BLUE)
    cv.ring(x + 10, y - 7, 4, 2, hexcolor('ffffff'))
    for k in range(2):
        phase = (n + k * 3) % count / float(count)
        cv.circle(x - 14 - k * 6, y - 24 + phase * 20, 2.4 - phase, (0.4, 0.7, 1.0, 1 - phase))


def bowl(cv, x, y, n, count):
    cv.shape(sd_circle(x, y - 6, 13), (x - 13, y - 6, x + 13, y + 7),
             lambda px, py: hexcolor('f7f7f7') if py > y - 6 else (0, 0, 0, 0))
    cv.ellipse(x, y - 6, 13, 3, hexcolor('f0c27b'))
    cv.line([(x + 2, y - 24), (x + 16, y - 4)], 1.8, hexcolor('a0522d'))
    cv.line([(x + 6, y - 25), (x + 18, y - 6)], 1.8, hexcolor('a0522d'))
    for k in range(3):
        ph = ((n + k * 2) % count) / float(count)
        cv.line(quad_points((x - 8 + k * 6, y - 12 - ph * 10), (x - 4 + k * 6, y - 18 - ph * 10),
                            (x - 8 + k * 6, y - 24 - ph * 10)), 1.6, (0.6, 0.6, 0.6, 0.8 - ph * 0.7))


def apple(cv, x, y, n, count):
    cv.circle(x - 4, y - 8, 8, RED)
    cv.circle(x + 4, y - 8, 8, RED)
    cv.ellipse(x - 3, y - 12, 3, 2, (1, 1, 1, 0.5))
    cv.line([(x, y - 15), (x + 2, y - 21)], 1.8, hexcolor('7a4a2a'))
    cv.ellipse(x + 6, y - 20, 4, 2, pim.LEAF, angle=-20)


def bell(cv, x, y, n, count):
    swing = 25 * math.sin(n / float(count) * 2 * math.pi * 2)
    cv.push(x, y - 4, 1.0, swing)
    cv.polygon([(-9, 0), (9, 0), (6, -14), (-6, -14)], SUN)
    cv.circle(0, -14, 6, SUN)
    cv.circle(0, 2, 2.5, darken(SUN, 0.3))
    cv.pop()
    if n % 2 == 0:
        cv.line(arc_points(x, y - 12, 16, 16, -60, -20, 6), 1.8, SUN)
        cv.line(arc_points(x, y - 12, 16, 16, 200, 240, 6), 1.8, SUN)


def broom(cv, x, y, n, count):
    sweep = 20 * math.sin(n / float(count) * 2 * math.pi * 2)
    cv.push(x, y, 1.0, sweep)
    cv.line([(0, -20), (0, 22)], 3, hexcolor('a0522d'))
    cv.polygon([(-8, 20), (8, 20), (12, 34), (-12, 34)], hexcolor('f2c94c'))
    cv.pop()
    for k in range(3):
        ph = ((n + k * 3) % count) / float(count)
        cv.circle(x + 10 + k * 6 + ph * 10, y + 30 - ph * 8, 3 - ph * 2, (0.6, 0.55, 0.5, 0.7 - ph * 0.6))


def magnifier(cv, x, y, n, count):
    bob = 3 * math.sin(n / float(count) * 2 * math.pi)
    cv.line([(x, y), (x + 8, y - 10 + bob)], 3.5, hexcolor('6b4f3a'))
    cv.circle(x + 14, y - 18 + bob, 9, (0.75, 0.9, 1.0, 0.6))
    cv.ring(x + 14, y - 18 + bob, 9, 2.6, hexcolor('5a6b7a'))
    cv.ellipse(x + 11, y - 21 + bob, 3, 2, (1, 1, 1, 0.8))


def wrench(cv, x, y, n, count):
    turn = 30 * math.sin(n / float(count) * 2 * math.pi * 2)
    cv.push(x, y, 1.0, turn - 40)
    cv.line([(0, 0), (0, -22)], 4, hexcolor('8a99a6'))
    cv.shape(sd_subtract(sd_circle(0, -26, 7), sd_rrect(-3, -36, 3, -24, 1)),
             (-7, -33, 7, -19), hexcolor('8a99a6'))
    cv.pop()


def umbrella(cv, x, y, n, count):
    cv.line([(x, y + 4), (x, y - 30)], 2, hexcolor('555555'))
    cv.shape(sd_circle(x, y - 30, 22), (x - 22, y - 52, x + 22, y - 30),
             lambda px, py: (BLUE if int((px - x + 22) / 11) % 2 == 0 else lighten(BLUE, 0.4))
             if py < y - 30 else (0, 0, 0, 0))
    for k in range(3):
        ph = ((n + k * 2) % count) / float(count)
        cv.line([(x - 30 + k * 10, y - 60 + ph * 40), (x - 32 + k * 10, y - 54 + ph * 40)], 1.6,
                (0.4, 0.6, 1.0, 0.8))


def strip_frames(frames):
    return strip(frames)


def make_strips():
    """Name -> (canvas, frames, frame time ms, animation time s)."""
    s = {}
    blink = lambda n, c: dict(eyes='closed' if n in (5,) else 'open',
                              squash=0.03 * math.sin(n / float(c) * 2 * math.pi))
    s['idle_breathe.png'] = (frames_of(8, blink), 180, 6)
    look = lambda n, c: dict(look=(4 * math.sin(n / float(c) * 2 * math.pi), 0.0),
                             leaf=8 * math.sin(n / float(c) * 2 * math.pi),
                             eyes='closed' if n == 6 else 'open')
    s['idle_look.png'] = (frames_of(8, look), 220, 8)
    yawn = lambda n, c: dict(eyes='closed' if n in (2, 3, 4, 5) else 'open',
                             mouth='open' if n in (2, 3, 4) else 'flat',
                             arm_l=25 + (110 if n in (3, 4) else 0), arm_r=25 + (110 if n in (3, 4) else 0),
                             squash=-0.04 if n in (3, 4) else 0.0)
    s['idle_sleepy.png'] = (frames_of(8, yawn), 260, 8)
    hop = lambda n, c: dict(bounce=-10 * abs(math.sin(n / float(c) * 2 * math.pi)),
                            squash=0.06 if n in (0, 4) else -0.02, eyes='happy',
                            leaf=10 * math.sin(n / float(c) * 4 * math.pi), arm_l=60, arm_r=60)
    s['idle_hum.png'] = (frames_of(8, hop), 150, 5)

    def leave(n, c):
        t = n / float(c - 1)
        return dict(arm_r=140 + 25 * math.sin(t * 8 * math.pi), eyes='happy', mouth='open',
                    opacity=1.0 - max(0.0, (t - 0.5) * 2.0), bounce=-30 * max(0.0, t - 0.5),
                    squash=0.0)
    s['leave.png'] = (frames_of(10, leave), 140, 2)

    s['touch_leaf.png'] = (frames_of(8, lambda n, c: dict(
        leaf=25 * math.sin(n / float(c) * 4 * math.pi), eyes='happy', mouth='grin',
        arm_l=150, arm_r=150, blush=1.0)), 120, 2)
    s['touch_belly.png'] = (frames_of(8, lambda n, c: dict(
        squash=0.08 * math.sin(n / float(c) * 4 * math.pi), eyes='happy', mouth='open',
        arm_l=40 + 20 * (n % 2), arm_r=40 + 20 * ((n + 1) % 2))), 110, 2)
    s['touch_jump.png'] = (frames_of(8, lambda n, c: dict(
        bounce=-22 * math.sin(n / float(c - 1) * math.pi), eyes='wide', mouth='o',
        arm_l=160, arm_r=160, squash=-0.05)), 100, 1)

    s['vyn_hello.png'] = (frames_of(8, wave), 150, 6)
    s['vyn_drink.png'] = (frames_of(8, lambda n, c: hold(cup)(n, c, arm_r=70 + 50 * (n in (3, 4, 5)),
                                                             eyes='happy' if n in (3, 4, 5) else 'open',
                                                             mouth='o' if n in (3, 4, 5) else 'smile')), 180, 8)
    s['vyn_rest.png'] = (frames_of(8, lambda n, c: dict(
        arm_l=90 + 70 * abs(math.sin(n / float(c) * math.pi)), arm_r=90 + 70 * abs(math.sin(n / float(c) * math.pi)),
        eyes='closed', tilt=8 * math.sin(n / float(c) * 2 * math.pi), mouth='smile')), 200, 8)
    s['vyn_rest_eye.png'] = (frames_of(8, lambda n, c: dict(
        eyes='closed' if n % 4 in (1, 2) else 'open', arm_l=150, arm_r=150,
        look=(3 * math.sin(n / float(c) * 2 * math.pi), 2 * math.cos(n / float(c) * 2 * math.pi)))), 220, 8)
    s['vyn_sleep.png'] = (frames_of(8, lambda n, c: dict(
        eyes='closed', mouth='o', hat='night', squash=0.03 * math.sin(n / float(c) * 2 * math.pi),
        props=lambda cv, h, n=n: pim.zzz(cv, 92 + n, 30 - n * 2, 8 + n * 0.6,
                                         (0.35, 0.4, 0.8, 1 - n / 10.0)))), 250, 8)
    s['vyn_meal_bowl.png'] = (frames_of(8, lambda n, c: hold(bowl)(n, c, eyes='happy', mouth='open')), 180, 8)
    s['vyn_meal_apple.png'] = (frames_of(8, lambda n, c: hold(apple)(n, c, arm_r=80 + 30 * (n % 4 == 2),
                                                                      mouth='open' if n % 4 == 2 else 'smile')), 180, 8)
    s['vyn_festival.png'] = (frames_of(8, lambda n, c: dict(
        hat='party', eyes='happy', mouth='grin', bounce=-6 * abs(math.sin(n / float(c) * 2 * math.pi)),
        arm_l=150, arm_r=150,
        props=lambda cv, h, n=n: [pim.sparkle(cv, 12 + (k * 37 + n * 5) % 96, 20 + (k * 23) % 40, 5,
                                              [SUN, RED, BLUE, GREEN][k % 4]) for k in range(4)])), 160, 8)
    s['vyn_weather.png'] = (frames_of(8, lambda n, c: hold(umbrella)(n, c, arm_r=150, eyes='open')), 180, 8)
    s['vyn_custom.png'] = (frames_of(8, lambda n, c: hold(bell)(n, c, arm_r=150, eyes='wide', mouth='o')), 140, 6)
    s['vyn_clean.png'] = (frames_of(8, lambda n, c: hold(broom)(n, c, arm_r=60, eyes='open', mouth='smile')), 160, 8)
    s['vyn_disk.png'] = (frames_of(8, lambda n, c: hold(magnifier)(n, c, arm_r=110, eyes='wide', mouth='o')), 200, 8)
    s['vyn_startup.png'] = (frames_of(8, lambda n, c: hold(wrench)(n, c, arm_r=100, eyes='open', mouth='flat')), 160, 8)
    return {name: (strip(frames), len(frames), ft, at) for name, (frames, ft, at) in s.items()}


def neck_picture(kind, words):
    """600 x 400: Pim shows one neck exercise with an arrow; the title band
    names the exercise and the lines under Pim tell the step."""
    cv = Canvas(600, 400)
    cv.vgradient(0, 0, 600, 400, hexcolor('f2fbf4'), hexcolor('d9f0df'))
    cv.vgradient(0, 0, 600, 46, lighten(GREEN, 0.08), GREEN_DARK)
    leaf_mark(cv, 26, 22, 1.2)
    heading, steps = lines(words)[0], lines(words)[1:]
    draw_text(cv, 46, heading, 20, WHITE, middle=23, room=400)
    dots = 46 + arttext.text_width(heading, 20) + 18
    for n in range(3):
        cv.circle(dots + n * 18, 23, 5, (1, 1, 1, 0.9 if n == kind else 0.4))
    tilt = [-18, 18, 0][kind]
    look = [(-3, 0), (3, 0), (0, -4)][kind]
    pim.draw(cv, 214, 58, 1.8, tilt=tilt, look=look, eyes='open', arm_l=30, arm_r=30)
    if kind == 2:
        cv.line(arc_points(300, 150, 150, 40, 200, 340, 24), 6, SUN)
        cv.polygon([(438, 128), (456, 150), (430, 154)], SUN)
    else:
        side = -1 if kind == 0 else 1
        cv.line(arc_points(322, 300, 190, 190, -90 - side * 10, -90 - side * 42, 24), 6, SUN)
        tip = arc_points(322, 300, 190, 190, -90 - side * 42, -90 - side * 44, 1)[0]
        cv.circle(tip[0], tip[1], 8, SUN)
    draw_lines(cv, 40, steps, 18, GREEN_DEEP, 326, 28, room=600 - 80)
    return cv


def day_night(night):
    """960 x 540 landscapes for the rest mode."""
    w, h = 960, 540
    cv = Canvas(w, h)
    if night:
        cv.vgradient(0, 0, w, h, hexcolor('0f1b3d'), hexcolor('2c4a7a'))
        for n in range(70):
            x = (n * 137) % w
            y = (n * 71) % 300
            cv.circle(x + 0.5, y + 0.5, 0.8 + (n % 3) * 0.5, (1, 1, 0.9, 0.5 + (n % 4) * 0.12))
        cv.circle(760, 110, 44, hexcolor('fff4c7'))
        cv.circle(782, 96, 40, hexcolor('1a2a52'))
        hill1, hill2 = hexcolor('1d3b38'), hexcolor('16302d')
    else:
        cv.vgradient(0, 0, w, h, hexcolor('6ab8f2'), hexcolor('d7eefc'))
        cv.circle(770, 110, 60, (1.0, 0.9, 0.5, 0.35))
        cv.circle(770, 110, 44, SUN)
        for cx, cy, s in ((180, 120, 1.0), (470, 80, 0.8), (620, 190, 0.6)):
            cloud = sd_union(sd_circle(cx, cy, 34 * s), sd_circle(cx + 40 * s, cy - 14 * s, 40 * s),
                             sd_circle(cx + 84 * s, cy, 30 * s),
                             sd_rrect(cx - 20 * s, cy, cx + 110 * s, cy + 30 * s, 15 * s))
            cv.shape(cloud, (cx - 40 * s, cy - 60 * s, cx + 120 * s, cy + 32 * s), (1, 1, 1, 0.92))
        hill1, hill2 = hexcolor('8fd694'), hexcolor('5fbf72')
    cv.ellipse(220, 620, 520, 200, hill1)
    cv.ellipse(780, 660, 560, 230, hill2)
    return cv


def minimal_swf():
    """eye.swf: an empty movie of a few frames (white stage 876 x 408): the
    exercise film itself is not part of this build."""
    import struct

    def rect_bits(xmin, xmax, ymin, ymax):
        nbits = 16
        bits = format(nbits, '05b') + ''.join(format(v & 0xFFFF, '016b') for v in (xmin, xmax, ymin, ymax))
        bits += '0' * (-len(bits) % 8)
        return bytes(int(bits[i:i + 8], 2) for i in range(0, len(bits), 8))

    def tag(code, data=b''):
        if len(data) < 0x3F:
            return struct.pack('<H', (code << 6) | len(data)) + data
        return struct.pack('<HI', (code << 6) | 0x3F, len(data)) + data
    frames = 24
    body = rect_bits(0, 876 * 20, 0, 408 * 20) + struct.pack('<HH', 12 << 8, frames)
    body += tag(9, bytes((0xF6, 0xFB, 0xF7)))  # SetBackgroundColor
    body += tag(1) * frames                     # ShowFrame
    body += tag(0)                              # End
    return b'FWS' + bytes((8,)) + struct.pack('<I', 8 + len(body)) + body


ACTION_TIPS = {
    'VynLoad': '你好呀，我是Pim，今天也要元气满满哦~|欢迎回来，Pim陪你一起健康用电脑~',
    'VynDrink': '喝杯水吧，身体需要水分哦~|工作再忙，也别忘了喝水~|多喝水，皮肤好，精神好~',
    'VynRest': '你已经连续使用电脑很久了，起来活动一下吧~|休息一下，做做颈椎操吧~',
    'VynRestAF': '看屏幕太久了，让眼睛休息一下吧~|闭上眼睛，放松一下吧~',
    'VynSleep': '夜深了，早点休息吧，晚安~|熬夜伤身体，该睡觉啦~',
    'VynFestival': '节日快乐~',
    'VynWeather': '今天天气不错，保持良好心情哦~',
    'VynCustom': '提醒时间到了~',
    'VynTrashClean': '电脑里的垃圾文件太多了，清理一下吧~',
    'VynSysDiskCheck': '系统盘空间不足了，给它瘦瘦身吧~',
    'VynCheckRun': '启动项过多，会影响开机速度哦！',
    'VynEyeGuardian': '',
}

ACTION_STRIPS = {
    'VynLoad': 'vyn_hello.png', 'VynDrink': 'vyn_drink.png', 'VynRest': 'vyn_rest.png',
    'VynRestAF': 'vyn_rest_eye.png', 'VynSleep': 'vyn_sleep.png', 'VynFestival': 'vyn_festival.png',
    'VynWeather': 'vyn_weather.png', 'VynCustom': 'vyn_custom.png', 'VynTrashClean': 'vyn_clean.png',
    'VynSysDiskCheck': 'vyn_disk.png', 'VynCheckRun': 'vyn_startup.png', 'VynEyeGuardian': 'vyn_rest.png',
}

DEFAULT_SET = ['idle_breathe.png', 'idle_look.png', 'idle_sleepy.png', 'idle_hum.png', 'leave.png']
INTERACTIVE_SET = [
    ('touch_leaf.png', '38,8,82,40'),
    ('touch_belly.png', '22,42,98,110'),
    ('touch_jump.png', '28,110,92,140|0,80,22,112|98,80,120,112'),
]
MEAL_SET = ['vyn_meal_bowl.png', 'vyn_meal_apple.png']
NECK_PICTURES = ['neck1.png', 'neck2.png', 'neck3.png']


def actions_ini(strips):
    lines = ['; Pim\'s animations and tip texts, one section per reminder.', '']

    def numbers(name, suffix=''):
        _, frames, ft, at = strips[name]
        return ['animationtime%s=%d' % (suffix, at), 'frames%s=%d' % (suffix, frames),
                'frametime%s=%d' % (suffix, ft), 'cx%s=%d' % (suffix, pim.FRAME_W),
                'cy%s=%d' % (suffix, pim.FRAME_H), 'png%s=%s' % (suffix, name)]

    lines += ['[default]', 'count=%d' % len(DEFAULT_SET)]
    for i, name in enumerate(DEFAULT_SET):
        lines += numbers(name, str(i))
    lines += ['', '[VynInteractive]', 'count=%d' % len(INTERACTIVE_SET)]
    for i, (name, rng) in enumerate(INTERACTIVE_SET):
        lines += numbers(name, str(i)) + ['range%d=%s' % (i, rng)]
    lines += ['', '[VynMeal]', 'count=%d' % len(MEAL_SET)]
    for i, name in enumerate(MEAL_SET):
        lines += numbers(name, str(i))
    for section in ('VynLoad', 'VynDrink', 'VynRest', 'VynRestAF', 'VynSleep', 'VynFestival',
                    'VynWeather', 'VynCustom', 'VynTrashClean', 'VynSysDiskCheck', 'VynCheckRun',
                    'VynEyeGuardian'):
        lines += ['', '[%s]' % section, 'tiptext=%s' % ACTION_TIPS[section]]
        lines += numbers(ACTION_STRIPS[section])
        if section == 'VynRest':
            lines.append('neck=%s' % '|'.join(NECK_PICTURES))
    text = '\r\n'.join(lines) + '\r\n'
    # Profile functions read a UTF-16LE file with its BOM under any code page.
    return b'\xff\xfe' + text.encode('utf-16-le')


NAV_BUTTONS = [
    # picture, hover picture, program, parameters, x, y, hover x, hover y
    # The two buttons left of the mascot show their labels further left,
    # clear of the buttons above them.
    ('eyeprotect.png', 'eyeprotect_tip.png', 'Mirelo.exe', 'eye', -66, 70, -72, 11),
    ('schedule.png', 'schedule_tip.png', 'Mirelo.exe', 'timealert', -60, 8, -72, 11),
    ('shutdown.png', 'shutdown_tip.png', 'Mirelo.exe', 'timeshutdown', -20, -44, -8, -34),
    ('setting.png', 'setting_tip.png', 'Mirelo.exe', 'general', 40, -62, -8, -34),
    ('weather.png', 'weather_tip.png', 'Mirelo.exe', 'general', 100, -44, -8, -34),
]
NAV_IDS = {'eyeprotect': 137, 'schedule': 138, 'shutdown': 139, 'setting': 140, 'weather': 142}


def vynpop_xml():
    rows = ['<?xml version="1.0" encoding="UTF-8"?>', '<vynpops>']
    for b in NAV_BUTTONS:
        rows.append('  <vynpop pic="%s" hover="%s" exe="%s" param="%s" x="%d" y="%d" tipx="%d" tipy="%d"/>' % b)
    rows.append('</vynpops>')
    return ('\r\n'.join(rows) + '\r\n').encode('utf-8')


def nav_hover(kind, words):
    """A rounded label above a navigation button: its name on a white pill
    with the button's colour along the bottom."""
    cv = Canvas(68, 30)
    col = NAV_COLORS[kind]
    cv.rrect(1, 2, 67, 30, 10, (0, 0, 0, 0.15))
    cv.rrect(0, 0, 66, 27, 10, WHITE)
    cv.rrect(0, 0, 66, 27, 10, lambda x, y: (0, 0, 0, 0) if y < 24 else col)
    draw_text(cv, 33, words, 13, darken(col, 0.25), middle=12, align='center', room=60)
    return cv


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--out', required=True)
    parser.add_argument('--package', required=True)
    args = parser.parse_args()
    try:
        print('generate_art: ' + arttext.require())
        return draw_everything(args)
    except arttext.ArtTextError as e:
        print('generate_art: error: %s' % e, file=sys.stderr)
        return 1


def draw_everything(args):
    out = os.path.abspath(args.out)
    res = os.path.join(out, 'res')

    pngs = {
        110: (tip_bubble(), False),
        111: (countdown_back(), True),
        # The countdown's execute button sits 73 pixels from the right
        # edge: a narrow pill (ends of 30 and 6) that its text widens.
        112: (pill_strip(3, GREEN, w=66), False),
        113: (close_strip(30, 22, 3), False),
        114: (countdown_picture(), False),
        115: (spare_picture(), False),
        116: (rest_shade(), False),
        117: (rest_exit(), False),
        118: (rest_play(WORDS[118]), False),
        119: (rest_panel(), False),
        120: (rest_picture(WORDS[120]), False),
        121: (pill_strip(4, GREEN), False),
        122: (chooser_back(), True),
        130: (standing_mascot(), False),
        134: (tip_text_back(), True),
        135: (chooser_title(WORDS[135]), False),
        136: (close_strip(30, 30, 4), False),
        141: (first_run_tip(WORDS[141]), False),
        143: (check_strip(), False),
    }
    for kind in NAV_COLORS:
        pngs[kind] = (nav_strip(kind), False)

    rc = ['// Written by assets/generate_art.py at build time.', '']
    icon = os.path.join(res, 'corvalle.ico')
    write(icon, icon_bytes([app_icon(16), app_icon(32), app_icon(48)]))
    rc.append('107 ICON "%s"' % icon)
    rc.append('108 ICON "%s"' % icon)
    cur_mascot = os.path.join(res, 'mascot.cur')
    write(cur_mascot, icon_bytes([cursor_mascot()], hotspots=[(1, 1)]))
    cur_drag = os.path.join(res, 'drag.cur')
    write(cur_drag, icon_bytes([cursor_drag()], hotspots=[(16, 16)]))
    rc.append('132 CURSOR "%s"' % cur_mascot)
    rc.append('133 CURSOR "%s"' % cur_drag)
    for rid in sorted(pngs):
        canvas, opaque = pngs[rid]
        path = os.path.join(res, '%d.png' % rid)
        write(path, png_bytes(canvas, opaque=opaque))
        rc.append('%d PNG "%s"' % (rid, path))
    write(os.path.join(out, 'corvalle_art.rc'),
          ('\n'.join(r.replace('\\', '/') for r in rc) + '\n').encode('utf-8'))

    # The skin package.
    files = {}
    strips = make_strips()
    for name, (canvas, _, _, _) in strips.items():
        files[name] = png_bytes(canvas)
    for n, name in enumerate(NECK_PICTURES):
        files[name] = png_bytes(neck_picture(n, WORDS[name]), opaque=True)
    files['day169.png'] = png_bytes(day_night(False), opaque=True)
    files['night169.png'] = png_bytes(day_night(True), opaque=True)
    for b in NAV_BUTTONS:
        kind = NAV_IDS[b[0][:-4]]
        files[b[0]] = png_bytes(nav_strip(kind))
        files[b[1]] = png_bytes(nav_hover(kind, WORDS[b[1]]))
    files['Actions.ini'] = actions_ini(strips)
    files['vynPop.xml'] = vynpop_xml()
    files['eye.swf'] = minimal_swf()

    for name, data in files.items():
        write(os.path.join(out, 'halvet', name), data)

    package = os.path.abspath(args.package)
    os.makedirs(os.path.dirname(package), exist_ok=True)
    tmp = package + '.tmp'
    # Entry names are code page 936 (all of ours are ASCII); the folder
    # comes first because file entries do not create their parents.
    stamp = (2012, 1, 1, 0, 0, 0)
    with zipfile.ZipFile(tmp, 'w', zipfile.ZIP_DEFLATED) as z:
        z.writestr(zipfile.ZipInfo('halvet/', stamp), b'')
        for name in sorted(files, key=lambda n: (n != 'Actions.ini', n)):
            info = zipfile.ZipInfo('halvet/' + name, stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, files[name])
    os.replace(tmp, package)
    return 0


if __name__ == '__main__':
    sys.exit(main())
