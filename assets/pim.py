"""Pim, the mascot: a round green sprout with big eyes, drawn from shapes so
that every pose of every strip comes from one set of proportions."""

import math

from artlib import (arc_points, darken, hexcolor, lighten, mix, quad_points,
                    sd_ellipse, sd_polyline, sd_union)

BODY_TOP = hexcolor('9fe8b2')
BODY_BOTTOM = hexcolor('48b86a')
OUTLINE = hexcolor('2c7d48')
BELLY = hexcolor('e6f9e9')
EYE = hexcolor('2a2d3a')
WHITE = (1.0, 1.0, 1.0, 1.0)
CHEEK = hexcolor('ff8fa3', 0.55)
MOUTH = hexcolor('7a3440')
TONGUE = hexcolor('ff7b8a')
LEAF = hexcolor('7ad866')
LEAF_DARK = hexcolor('3f9c43')
STEM = hexcolor('4aa552')
SHADOW = (0.0, 0.0, 0.0, 0.16)

FRAME_W = 120
FRAME_H = 140


def _arm_end(sx, sy, angle, side, length=19.0):
    a = math.radians(angle)
    return sx + side * math.sin(a) * length, sy + math.cos(a) * length


def draw(cv, x=0.0, y=0.0, s=1.0, bounce=0.0, squash=0.0, tilt=0.0, eyes='open',
         look=(0.0, 0.0), mouth='smile', arm_l=20.0, arm_r=20.0, leaf=0.0, blush=1.0,
         hat=None, opacity=1.0, shadow=True, props=None, behind=None):
    """Pim in a 120 x 140 box whose top-left lies at (x, y), scaled by s.

    props(cv, hands) draws what Pim holds, after the body; behind(cv) draws
    before it. hands is ((lx, ly), (rx, ry)) in Pim's local coordinates."""
    cv.push(x, y, s, 0.0, opacity)
    if shadow:
        shrink = 1.0 - min(0.5, max(0.0, -bounce) / 40.0)
        cv.ellipse(60, 133, 30 * shrink, 4.5 * shrink, SHADOW)
    # Everything above the feet tilts about the feet and bounces.
    cv.push(60, 128 + bounce, 1.0, tilt)
    cv.push(-60, -128)
    if behind:
        behind(cv)

    rx = 41 * (1 + squash)
    ry = 40 * (1 - squash)
    cy = 128 - 6 - ry  # the body rests on the feet

    # Feet.
    for fx in (44, 76):
        cv.ellipse(fx, 124, 11, 6, OUTLINE)
        cv.ellipse(fx, 123.5, 9.6, 4.8, darken(BODY_BOTTOM, 0.08))

    # Sprout on the head, swaying from its base.
    top = cy - ry
    cv.push(60, top + 2, 1.0, leaf)
    cv.line(quad_points((0, 0), (1, -8), (-1, -15)), 3.2, STEM)
    cv.ellipse(-8, -18, 10, 5.2, LEAF_DARK, angle=25)
    cv.ellipse(-8, -18, 8.6, 4.0, LEAF, angle=25)
    cv.line([(-15, -21.5), (-2, -15)], 1.0, LEAF_DARK)
    cv.ellipse(8, -20, 10, 5.2, LEAF_DARK, angle=-30)
    cv.ellipse(8, -20, 8.6, 4.0, LEAF, angle=-30)
    cv.line([(2, -17), (15, -24.5)], 1.0, LEAF_DARK)
    cv.pop()

    # Arms behind the body edge.
    shoulders = ((60 - rx + 5, cy + 6), (60 + rx - 5, cy + 6))
    hands = []
    for (sx, sy), angle, side in ((shoulders[0], arm_l, -1), (shoulders[1], arm_r, 1)):
        hx, hy = _arm_end(sx, sy, angle, side)
        cv.line([(sx, sy), (hx, hy)], 11, OUTLINE)
        cv.line([(sx, sy), (hx, hy)], 8.4, darken(BODY_BOTTOM, 0.02))
        hands.append((hx, hy))

    # Body with its outline and a soft light from above.
    cv.ellipse(60, cy, rx + 1.6, ry + 1.6, OUTLINE)

    def body_color(px, py):
        t = min(1.0, max(0.0, (py - (cy - ry)) / (2 * ry)))
        return mix(BODY_TOP, BODY_BOTTOM, t)
    cv.ellipse(60, cy, rx, ry, body_color)
    cv.ellipse(60, cy + ry * 0.38, rx * 0.62, ry * 0.5, BELLY)
    cv.ellipse(46, cy - ry * 0.55, 11, 6, (1, 1, 1, 0.35), angle=-20)

    # Face.
    ex, ey = look
    eye_y = cy - 6 + ey
    for side in (-1, 1):
        px = 60 + side * 13 + ex
        if eyes == 'closed':
            cv.line(arc_points(px, eye_y - 1, 5.5, 3.5, 20, 160, 8), 2.4, EYE)
        elif eyes == 'happy':
            cv.line(arc_points(px, eye_y + 2, 5.5, 5, 200, 340, 8), 2.4, EYE)
        elif eyes == 'wide':
            cv.ellipse(px, eye_y, 7, 9, EYE)
            cv.circle(px + 2.2, eye_y - 3.4, 2.8, WHITE)
            cv.circle(px - 2.0, eye_y + 3.0, 1.2, WHITE)
        else:
            cv.ellipse(px, eye_y, 6, 7.6, EYE)
            cv.circle(px + 2.0, eye_y - 3.0, 2.3, WHITE)
            cv.circle(px - 1.8, eye_y + 2.6, 1.0, WHITE)
    if blush > 0:
        cheek = (CHEEK[0], CHEEK[1], CHEEK[2], CHEEK[3] * blush)
        cv.ellipse(60 - 25 + ex * 0.5, eye_y + 11, 6.5, 3.6, cheek)
        cv.ellipse(60 + 25 + ex * 0.5, eye_y + 11, 6.5, 3.6, cheek)
    my = eye_y + 13
    mx = 60 + ex * 0.6
    if mouth == 'open':
        cv.ellipse(mx, my + 1, 6, 5, MOUTH)
        cv.ellipse(mx, my + 3.2, 3.6, 2.2, TONGUE)
    elif mouth == 'o':
        cv.ellipse(mx, my + 1, 3.2, 3.8, MOUTH)
    elif mouth == 'flat':
        cv.line([(mx - 4, my + 1), (mx + 4, my + 1)], 2.2, MOUTH)
    elif mouth == 'grin':
        cv.shape(sd_union(sd_ellipse(mx, my, 7, 5.5)),
                 (mx - 7, my - 5.5, mx + 7, my + 5.5),
                 lambda px, py: MOUTH if py > my - 1 else (0, 0, 0, 0))
        cv.ellipse(mx, my + 3, 4, 2, TONGUE)
    else:
        cv.line(quad_points((mx - 6, my - 1), (mx, my + 6), (mx + 6, my - 1)), 2.3, MOUTH)

    # Hands on top of the body.
    for hx, hy in hands:
        cv.circle(hx, hy, 5.6, OUTLINE)
        cv.circle(hx, hy, 4.3, lighten(BODY_BOTTOM, 0.1))

    if hat == 'party':
        cv.push(60, cy - ry + 4, 1.0, -12)
        cv.polygon([(-13, 0), (13, 0), (2, -30)], hexcolor('ff6f91'))
        cv.line([(-9, -8), (8, -6)], 3, hexcolor('ffd166'))
        cv.line([(-5, -17), (6, -15)], 3, hexcolor('ffd166'))
        cv.circle(2, -31, 4, hexcolor('ffd166'))
        cv.pop()
    elif hat == 'night':
        cv.push(60, cy - ry + 6, 1.0, 18)
        cv.polygon([(-22, 0), (20, 0), (30, -18), (6, -26)], hexcolor('5d6fd6'))
        cv.rrect(-24, -3, 22, 5, 4, hexcolor('f3f3ff'))
        cv.circle(32, -18, 5, hexcolor('f3f3ff'))
        cv.pop()

    if props:
        props(cv, tuple(hands))
    cv.pop()
    cv.pop()
    cv.pop()


def zzz(cv, x, y, size, color):
    cv.line([(x, y), (x + size, y), (x, y + size), (x + size, y + size)], max(1.6, size / 5), color)


def sparkle(cv, x, y, r, color):
    cv.polygon([(x, y - r), (x + r * 0.28, y - r * 0.28), (x + r, y), (x + r * 0.28, y + r * 0.28),
                (x, y + r), (x - r * 0.28, y + r * 0.28), (x - r, y), (x - r * 0.28, y - r * 0.28)],
               color)


def heart(cv, x, y, r, color):
    cv.circle(x - r * 0.5, y, r * 0.6, color)
    cv.circle(x + r * 0.5, y, r * 0.6, color)
    cv.polygon([(x - r * 1.05, y + r * 0.2), (x + r * 1.05, y + r * 0.2), (x, y + r * 1.3)], color)


def sd_leaf_shape(points, r):
    return sd_polyline(points, r)
