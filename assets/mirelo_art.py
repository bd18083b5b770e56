#!/usr/bin/env python3
"""Draws Mirelo's skin pictures at build time.

Writes into --out:
  res/<name>.png      one PNG per skin picture
  mirelo_art.rc       the resource script that names them (type DATA)
Frame sizes and frame order follow what the settings program cuts each
strip into. Words are drawn with the font of arttext (Pillow over
FreeType); their texts are art_words.SETTINGS_WORDS.
"""

import argparse
import functools
import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from artlib import Canvas, darken, hexcolor, lighten, mix, png_bytes, strip  # noqa: E402
from artlib import write_file as write  # noqa: E402
from art_words import SETTINGS_WORDS as WORDS, lines  # noqa: E402
import arttext  # noqa: E402
from arttext import draw_lines, draw_text  # noqa: E402

WHITE = (1.0, 1.0, 1.0, 1.0)
GREEN = hexcolor('3dae69')
GREEN_DARK = hexcolor('2b8f55')
PAPER = hexcolor('f7fcfe')
BAND_TOP = hexcolor('e6f2fb')
BAND_BOTTOM = hexcolor('d4e7f5')
FRAME = hexcolor('b8c2c8')
INK = hexcolor('575e63')
BLUE = hexcolor('0b82d5')
SKY = hexcolor('53a8f0')
RED = hexcolor('e5534b')
GREY = hexcolor('9aa5a0')
PALE = hexcolor('eef4f7')
AMBER = hexcolor('f0a53d')


def frame_border(cv, color=FRAME):
    w, h = cv.w, cv.h
    for x0, y0, x1, y1 in ((0, 0, w, 1), (0, h - 1, w, h), (0, 0, 1, h), (w - 1, 0, w, h)):
        cv.vgradient(x0, y0, x1, y1, color, color)


def window_back(w, h):
    """Opaque window ground: the 65-pixel title band over paper."""
    cv = Canvas(w, h)
    cv.vgradient(0, 0, w, 65, BAND_TOP, BAND_BOTTOM)
    cv.vgradient(0, 65, w, 66, FRAME, FRAME)
    cv.vgradient(0, 66, w, h, PAPER, PAPER)
    frame_border(cv)
    return cv


def state_colors(n):
    """Fill, edge and gloss of a soft button in state n (normal, hover,
    pressed, disabled)."""
    if n == 3:
        return hexcolor('f1f1f1'), hexcolor('d2d6d8'), 0.0
    base = [hexcolor('f4f8fa'), hexcolor('e4f1fb'), hexcolor('cfe3f2')][n]
    edge = [hexcolor('b8c2c8'), hexcolor('8fb6d4'), hexcolor('7aa3c4')][n]
    return base, edge, [0.5, 0.6, 0.0][n]


def pill(w, h, n, r=4, base=None):
    cv = Canvas(w, h)
    fill, edge, gloss = state_colors(n)
    if base is not None and n != 3:
        fill = lighten(base, [0.15, 0.3, 0.0][n])
        edge = darken(base, 0.15)
    cv.rrect(0, 0, w, h, r, edge)
    cv.rrect(1, 1, w - 1, h - 1, r - 1,
             lambda x, y, f=fill: mix(lighten(f, 0.25), f, max(0.0, min(1.0, y / h))))
    if gloss:
        cv.rrect(2, 2, w - 2, h / 2.0, r - 1, (1, 1, 1, 0.25 * gloss))
    return cv


def icon_color(n):
    return [INK, BLUE, darken(BLUE, 0.2), GREY][n]


# --- list rows ---------------------------------------------------------------

def list_select():
    """bg_list_select: pressed, hover, other row (2 x 51 each)."""
    out = []
    for n in range(3):
        cv = Canvas(2, 51)
        top, bottom = [(hexcolor('d6e9f7'), hexcolor('c7e0f2')),
                       (hexcolor('eef7fd'), hexcolor('e2f0fa')),
                       (WHITE, WHITE)][n]
        cv.vgradient(0, 0, 2, 50, top, bottom)
        cv.vgradient(0, 50, 2, 51, hexcolor('e3e9ec'), hexcolor('e3e9ec'))
        out.append(cv)
    return strip(out)


def round_button(w, h, symbol, n, color=None):
    cv = Canvas(w, h)
    col = color if color is not None else GREEN
    ring = [col, lighten(col, 0.15), darken(col, 0.15), GREY][n]
    r = min(w, h) / 2.0 - 1
    cx, cy = w / 2.0, h / 2.0 + (1 if n == 2 else 0)
    cv.circle(cx, cy, r, ring)
    cv.circle(cx, cy, r - 1.6, [WHITE, hexcolor('f2fbf5'), hexcolor('e3f4e9'), hexcolor('f1f1f1')][n] if n != 1 else lighten(col, 0.85))
    symbol(cv, cx, cy, r, ring)
    return cv


def sym_play(cv, cx, cy, r, col):
    cv.polygon([(cx - r * 0.3, cy - r * 0.45), (cx - r * 0.3, cy + r * 0.45), (cx + r * 0.5, cy)], col)


def sym_pause(cv, cx, cy, r, col):
    cv.rrect(cx - r * 0.4, cy - r * 0.42, cx - r * 0.1, cy + r * 0.42, 1, col)
    cv.rrect(cx + r * 0.1, cy - r * 0.42, cx + r * 0.4, cy + r * 0.42, 1, col)


def sym_delete(cv, cx, cy, r, col):
    a = r * 0.38
    cv.line([(cx - a, cy - a), (cx + a, cy + a)], 2.2, col)
    cv.line([(cx - a, cy + a), (cx + a, cy - a)], 2.2, col)


def row_buttons(w, h, symbol, color=None):
    return strip([round_button(w, h, symbol, n, color) for n in range(4)])


# --- digits --------------------------------------------------------------------

SEGMENTS = {
    '0': 'abcdef', '1': 'bc', '2': 'abged', '3': 'abgcd', '4': 'fgbc', '5': 'afgcd',
    '6': 'afgedc', '7': 'abc', '8': 'abcdefg', '9': 'abcdfg',
}


def digit(w, h, ch, color):
    cv = Canvas(w, h)
    m = max(1.5, w * 0.16)
    x0, x1 = m, w - m
    y0, y1, ym = m, h - m, h / 2.0
    t = max(1.6, w * 0.17)
    seg = {
        'a': [(x0 + 1, y0), (x1 - 1, y0)], 'g': [(x0 + 1, ym), (x1 - 1, ym)], 'd': [(x0 + 1, y1), (x1 - 1, y1)],
        'f': [(x0, y0 + 1), (x0, ym - 1)], 'b': [(x1, y0 + 1), (x1, ym - 1)],
        'e': [(x0, ym + 1), (x0, y1 - 1)], 'c': [(x1, ym + 1), (x1, y1 - 1)],
    }
    if ch == ':':
        cv.circle(w / 2.0, h * 0.33, t * 0.65, color)
        cv.circle(w / 2.0, h * 0.67, t * 0.65, color)
    elif ch == '-':
        cv.line([(x0 + 1, ym), (x1 - 1, ym)], t, color)
    else:
        for s in SEGMENTS[ch]:
            cv.line(seg[s], t, color)
    return cv


def digit_strip(w, h, color, minus):
    chars = '1234567890:' + ('-' if minus else '')
    return strip([digit(w, h, c, color) for c in chars])


# --- tabs and mode tiles ----------------------------------------------------------

def eye_icon(cv, cx, cy, s, col):
    cv.ellipse(cx, cy, 11 * s, 6.5 * s, col)
    cv.ellipse(cx, cy, 9 * s, 4.8 * s, WHITE)
    cv.circle(cx, cy, 3.6 * s, col)
    cv.circle(cx + 1.1 * s, cy - 1.1 * s, 1.1 * s, WHITE)


def neck_icon(cv, cx, cy, s, col):
    cv.circle(cx, cy - 6 * s, 4.5 * s, col)
    cv.line([(cx, cy - 1.5 * s), (cx, cy + 6 * s)], 3 * s, col)
    cv.line([(cx - 7 * s, cy + 2 * s), (cx, cy), (cx + 7 * s, cy + 2 * s)], 2.4 * s, col)
    cv.line([(cx - 3 * s, cy + 12 * s), (cx, cy + 6 * s), (cx + 3 * s, cy + 12 * s)], 2.4 * s, col)


def page_tab(icon, words):
    """tabeye / tabneck: normal, hover, pressed (= selected), 135 x 47: the
    subject's icon and its name."""
    out = []
    for n in range(3):
        cv = Canvas(135, 47)
        if n == 1:
            cv.rrect(0, 0, 135, 47, 6, (1, 1, 1, 0.55))
        elif n == 2:
            cv.rrect(0, 0, 135, 52, 6, FRAME)
            cv.rrect(1, 1, 134, 52, 5, PAPER)
        col = [INK, BLUE, GREEN_DARK][n]
        icon(cv, 30, 24, 1.2, col)
        draw_text(cv, 52, words, 13, col, middle=24, room=135 - 52 - 4)
        out.append(cv)
    return strip(out)


def mode_tile(kind, grey=False):
    """65 x 69 mode tiles: normal, hover, pressed, selected. The caption is
    drawn by the program under the picture."""
    out = []
    for n in range(4):
        cv = Canvas(65, 69)
        edge = [FRAME, SKY, BLUE, GREEN][n]
        if grey:
            edge = GREY
        cv.rrect(2, 2, 63, 50, 6, edge)
        cv.rrect(3.2, 3.2, 61.8, 48.8, 5, [WHITE, hexcolor('f0f8fe'), hexcolor('e2f0fb'), hexcolor('eaf7ef')][n])
        col = GREY if grey else [hexcolor('e98a3b'), hexcolor('5b9bd5'), GREEN][kind]
        # A little monitor with a figure on it.
        cv.rrect(16, 11, 49, 34, 3, col)
        cv.rrect(18, 13, 47, 32, 2, WHITE)
        cv.rrect(29, 34, 36, 39, 1, col)
        cv.rrect(24, 39, 41, 41, 1, col)
        cv.circle(32.5, 19 + (1 if kind == 0 else 0), 3.2 if kind != 0 else 2.6, col)
        cv.rrect(28, 23, 37, 30, 2, col)
        if kind == 1:
            cv.line([(39, 22), (40.5, 30)], 1.6, col)
        if n == 3 and not grey:
            cv.circle(55, 10, 6, GREEN)
            cv.line([(52, 10), (54.5, 12.5), (58.5, 7.5)], 1.6, WHITE)
        out.append(cv)
    return strip(out)


def picture_button(w, h, icon, states=3):
    out = []
    for n in range(states):
        cv = Canvas(w, h)
        fill = [hexcolor('eef7f1'), hexcolor('e0f2e6'), hexcolor('cfe9d8')][n]
        cv.rrect(0, 0, w, h, 10, [hexcolor('bfe0ca'), GREEN, GREEN_DARK][n])
        cv.rrect(1.5, 1.5 + (1 if n == 2 else 0), w - 1.5, h - 1.5, 9, fill)
        icon(cv, w, h, n)
        out.append(cv)
    return strip(out)


def play_disc(cv, cx, cy, r, n):
    cv.circle(cx, cy, r, [GREEN, lighten(GREEN, 0.1), GREEN_DARK][n])
    cv.polygon([(cx - r * 0.36, cy - r / 2.0), (cx - r * 0.36, cy + r / 2.0), (cx + r * 0.5, cy)], WHITE)


def icon_play_words(words, size):
    """A play disc and the exercise's name beside it."""
    def draw(cv, w, h, n):
        play_disc(cv, 22, h / 2.0, 13, n)
        draw_text(cv, 40, words, size, GREEN_DARK, middle=h / 2.0 + (1 if n == 2 else 0), room=w - 40 - 3)
    return draw


def icon_neck_big(words):
    """The neck figure with the exercise's name under it and a play disc."""
    def draw(cv, w, h, n):
        neck_icon(cv, w / 2.0, h / 2.0 - 14, 2.2, GREEN_DARK)
        play_disc(cv, w - 22, h - 22, 12, n)
        draw_text(cv, 12, words, 13, GREEN_DARK, middle=h - 22, room=w - 34 - 12 - 2)
    return draw


# --- small buttons -------------------------------------------------------------

def close_strip():
    out = []
    for n in range(3):
        cv = Canvas(39, 20)
        if n == 1:
            cv.rrect(0, 0, 39, 20, 3, RED)
        elif n == 2:
            cv.rrect(0, 0, 39, 20, 3, darken(RED, 0.25))
        col = INK if n == 0 else WHITE
        cv.line([(15, 6), (24, 14 + 0)], 1.8, col)
        cv.line([(15, 14), (24, 6)], 1.8, col)
        out.append(cv)
    return strip(out)


def small_buttons(w, h, symbol, states=3):
    out = []
    for n in range(states):
        cv = pill(w, h, n)
        symbol(cv, w, h, icon_color(n))
        out.append(cv)
    return strip(out)


def sym_plus_text(words, cv, w, h, col):
    cv.line([(10, h / 2.0), (18, h / 2.0)], 2, col)
    cv.line([(14, h / 2.0 - 4), (14, h / 2.0 + 4)], 2, col)
    draw_text(cv, 22, words, 12, col, middle=h / 2.0, room=w - 22 - 3)


def sym_manage(words, cv, w, h, col):
    draw_text(cv, w / 2.0, words, 12, col, middle=h / 2.0, align='center', room=w - 2)


def sym_return(words, cv, w, h, col):
    cv.line([(15, h / 2.0 - 4), (10, h / 2.0), (15, h / 2.0 + 4)], 2, col)
    cv.line([(10, h / 2.0), (20, h / 2.0)], 2, col)
    draw_text(cv, 24, words, 12, col, middle=h / 2.0, room=w - 24 - 3)


def sym_speaker(cv, w, h, col):
    cv.polygon([(4, 7), (7, 7), (11, 4), (11, 14), (7, 11), (4, 11)], col)
    cv.line([(13, 6.5), (14, 9), (13, 11.5)], 1.2, col)


def sym_down(cv, w, h, col):
    cv.polygon([(5, 7), (13, 7), (9, 11.5)], col)


def combo_button_strip():
    """text_box_down, 18 x 18: normal, hover, pressed, disabled (the combo
    box takes frame 2 as its normal look)."""
    out = []
    for n in range(4):
        cv = Canvas(18, 18)
        fill = [hexcolor('eaf1f5'), hexcolor('dcebf6'), hexcolor('f4f8fa'), hexcolor('f1f1f1')][n]
        cv.rrect(0, 0, 18, 18, 2, fill)
        sym_down(cv, 18, 18, [INK, BLUE, INK, GREY][n])
        out.append(cv)
    return strip(out)


def check_box():
    """CheckBox, 9 frames of 13 x 14: 0-3 unchecked (normal, hover,
    pressed, disabled), 4-7 checked likewise, 8 mixed."""
    out = []
    for n in range(9):
        cv = Canvas(13, 14)
        checked = 4 <= n <= 7
        disabled = n in (3, 7)
        hover = n in (1, 5)
        pressed = n in (2, 6)
        edge = GREY if disabled else (BLUE if (hover or pressed) else (GREEN_DARK if checked else hexcolor('8a9aa4')))
        cv.rrect(0.5, 1, 12.5, 13, 2.5, edge)
        fill = hexcolor('eeeeee') if disabled else (GREEN if checked else (hexcolor('e4f1fb') if pressed else WHITE))
        if checked and hover:
            fill = lighten(GREEN, 0.15)
        if checked and pressed:
            fill = GREEN_DARK
        cv.rrect(1.5, 2, 11.5, 12, 1.8, fill)
        if checked:
            cv.line([(3.3, 7.2), (5.6, 9.5), (9.8, 4.6)], 1.7, WHITE)
        if n == 8:
            cv.rrect(3.5, 6, 9.5, 8, 1, GREEN)
        out.append(cv)
    return strip(out)


def switch(on):
    cv = Canvas(33, 13)
    col = GREEN if on else hexcolor('c3cac8')
    cv.rrect(0, 0, 33, 13, 6.5, col)
    knob = 26.5 if on else 6.5
    cv.circle(knob, 6.5, 5.2, WHITE)
    return cv


# --- pictures ----------------------------------------------------------------

def clock_icon(cv, cx, cy, r, col):
    cv.circle(cx, cy, r, col)
    cv.circle(cx, cy, r * 0.82, WHITE)
    cv.line([(cx, cy), (cx, cy - r * 0.55)], max(1.5, r * 0.12), col)
    cv.line([(cx, cy), (cx + r * 0.4, cy + r * 0.1)], max(1.5, r * 0.12), col)


def power_icon(cv, cx, cy, r, col):
    cv.ring(cx, cy, r * 0.7, max(1.6, r * 0.18), col)
    cv.rrect(cx - r * 0.25, cy - r * 1.05, cx + r * 0.25, cy - r * 0.2, r * 0.1, WHITE)
    cv.line([(cx, cy - r * 0.95), (cx, cy - r * 0.15)], max(1.6, r * 0.18), col)


def gear_icon(cv, cx, cy, r, col):
    import math
    for k in range(8):
        a = k * math.pi / 4
        cv.line([(cx + math.cos(a) * r * 0.55, cy + math.sin(a) * r * 0.55),
                 (cx + math.cos(a) * r * 0.95, cy + math.sin(a) * r * 0.95)], r * 0.35, col)
    cv.circle(cx, cy, r * 0.68, col)
    cv.circle(cx, cy, r * 0.3, WHITE)


TITLE_SIZE = 18


def title(icon, col, words):
    """A page title, 140 x 40: the page's icon, then its name."""
    cv = Canvas(140, 40)
    cv.circle(20, 20, 17, (1, 1, 1, 0.7))
    icon(cv, 20, 20, 12, col)
    draw_text(cv, 44, words, TITLE_SIZE, darken(col, 0.1), middle=20, room=140 - 44)
    return cv


def eye_title(words):
    """The health page's title: it stands at the window's right edge, so the
    icon comes last and the name ends before it."""
    cv = Canvas(140, 40)
    cv.circle(120, 20, 17, (1, 1, 1, 0.7))
    eye_icon(cv, 120, 20, 1.1, GREEN_DARK)
    draw_text(cv, 96, words, TITLE_SIZE, GREEN_DARK, middle=20, align='right', room=96)
    return cv


def soft_panel(w, h, top, bottom, edge):
    cv = Canvas(w, h)
    cv.rrect(0, 0, w, h, 5, edge)
    cv.rrect(1, 1, w - 1, h - 1, 4, lambda x, y: mix(top, bottom, max(0.0, min(1.0, y / h))))
    return cv


def hint_picture(w, h, icon, words):
    """A hint panel: the tab's icon and a few short lines."""
    cv = Canvas(w, h)
    cv.rrect(0, 0, w, h, 8, hexcolor('fff6e0'))
    cv.rrect(1, 1, w - 1, h - 1, 7, hexcolor('fffbef'))
    icon(cv, 24, h / 2.0, 1.3, AMBER)
    text = lines(words)
    size = 12
    leading = min(16, (h - 6 - size) // max(1, len(text) - 1)) if len(text) > 1 else 0
    top = (h - size - leading * (len(text) - 1)) / 2.0
    draw_lines(cv, 46, text, size, INK, top, leading, room=w - 46 - 6)
    return cv


def dotted_line(w):
    cv = Canvas(w, 1)
    for x in range(0, w, 3):
        cv.vgradient(x, 0, x + 1, 1, FRAME, FRAME)
    return cv


def solid_line(w):
    cv = Canvas(w, 1)
    cv.vgradient(0, 0, w, 1, hexcolor('dfe5e8'), hexcolor('dfe5e8'))
    return cv


def small_icon(kind):
    cv = Canvas(16, 16)
    if kind == 'font':
        cv.line([(3, 13), (8, 2.5), (13, 13)], 1.8, BLUE)
        cv.line([(5, 9.5), (11, 9.5)], 1.6, BLUE)
    elif kind == 'refresh':
        cv.ring(8, 8, 4.5, 1.8, GREEN)
        cv.rrect(8, 1, 16, 8, 0, (0, 0, 0, 0))
        cv.polygon([(11, 1.5), (15.5, 5), (10.5, 7)], GREEN)
    elif kind == 'solution':
        cv.rrect(1.5, 3, 14.5, 12, 1.5, INK)
        cv.rrect(2.8, 4.3, 13.2, 10.7, 1, WHITE)
        cv.rrect(6, 12, 10, 14.5, 0.5, INK)
    elif kind == 'file':
        cv.polygon([(3, 1.5), (10, 1.5), (13, 4.5), (13, 14.5), (3, 14.5)], hexcolor('8a9aa4'))
        cv.polygon([(4.2, 2.7), (9.5, 2.7), (11.8, 5), (11.8, 13.3), (4.2, 13.3)], WHITE)
        cv.line([(6, 8), (10, 8)], 1, hexcolor('8a9aa4'))
        cv.line([(6, 10.5), (10, 10.5)], 1, hexcolor('8a9aa4'))
    elif kind == 'setup':
        gear_icon(cv, 8, 8, 6.5, BLUE)
    return cv


def empty_list_picture():
    cv = Canvas(64, 64)
    cv.circle(32, 32, 30, hexcolor('e4f1fb'))
    clock_icon(cv, 32, 32, 20, SKY)
    return cv


def bottom_band():
    cv = Canvas(320, 45)
    cv.vgradient(0, 0, 320, 1, FRAME, FRAME)
    cv.vgradient(0, 1, 320, 45, hexcolor('eef5f9'), hexcolor('e3eef5'))
    return cv


def confirm_back():
    cv = Canvas(400, 230)
    cv.vgradient(0, 0, 400, 30, BAND_TOP, BAND_BOTTOM)
    cv.vgradient(0, 30, 400, 230, WHITE, PAPER)
    cv.vgradient(0, 184, 400, 185, hexcolor('e3e9ec'), hexcolor('e3e9ec'))
    cv.vgradient(0, 185, 400, 230, hexcolor('f1f7fa'), hexcolor('eaf2f7'))
    cv.circle(55, 85, 30, hexcolor('e4f1fb'))
    cv.rrect(37, 68, 73, 94, 3, SKY)
    cv.rrect(39.5, 70.5, 70.5, 91.5, 2, WHITE)
    cv.rrect(51, 94, 59, 99, 1, SKY)
    cv.rrect(45, 99, 65, 102, 1.5, SKY)
    cv.circle(55, 78, 3.5, GREEN)
    cv.rrect(51, 82.5, 59, 89, 2, GREEN)
    frame_border(cv, hexcolor('9fb0ba'))
    return cv


def pictures():
    """name -> (canvas, opaque)."""
    p = {
        'MainBackground': (window_back(320, 365), True),
        'eyebg': (window_back(620, 420), True),
        'TitleTimerAlert': (title(clock_icon, BLUE, WORDS['TitleTimerAlert']), False),
        'TitleTimerShutDown': (title(power_icon, RED, WORDS['TitleTimerShutDown']), False),
        'titleeye': (eye_title(WORDS['titleeye']), False),
        'titleset': (title(gear_icon, INK, WORDS['titleset']), False),
        'bg_list_select': (list_select(), True),
        'btn_play': (row_buttons(26, 27, sym_play), False),
        'btn_pause': (row_buttons(26, 28, sym_pause, BLUE), False),
        'btn_delete': (row_buttons(26, 27, sym_delete, RED), False),
        'btnsuspension': (row_buttons(26, 28, sym_pause, GREY), False),
        'btnplayeye': (picture_button(101, 45, icon_play_words(WORDS['btnplayeye'], 13)), False),
        'btnplayjz': (picture_button(106, 46, icon_play_words(WORDS['btnplayjz'], 12)), False),
        'btnsetup': (small_icon('setup'), False),
        'tabeye': (page_tab(eye_icon, WORDS['tabeye']), False),
        'tabneck': (page_tab(neck_icon, WORDS['tabneck']), False),
        'originmode': (mode_tile(2), False),
        'standardmode': (mode_tile(2), False),
        'standardmodegray': (mode_tile(2, grey=True), False),
        'childmode': (mode_tile(0), False),
        'oldmanmode': (mode_tile(1), False),
        'icon_movie': (picture_button(130, 114, icon_neck_big(WORDS['icon_movie'])), False),
        'icon_word': (picture_button(125, 111, icon_neck_big(WORDS['icon_word'])), False),
        'icon_clock': (empty_list_picture(), False),
        'btnClose': (close_strip(), False),
        'Button_Normal': (strip([pill(60, 23, n) for n in range(3)]), False),
        'text_box_sound': (small_buttons(18, 18, sym_speaker, 4), False),
        'icon_file': (small_icon('file'), False),
        'btn_add': (small_buttons(57, 23, functools.partial(sym_plus_text, WORDS['btn_add'])), False),
        'btn_manager': (small_buttons(26, 23, functools.partial(sym_manage, WORDS['btn_manager'])), False),
        'btn_return': (small_buttons(57, 23, functools.partial(sym_return, WORDS['btn_return'])), False),
        'bg_bottom': (bottom_band(), True),
        'CheckBox': (check_box(), False),
        'number_03': (digit_strip(14, 20, INK, False), False),
        'number_01': (digit_strip(10, 14, BLUE, True), False),
        'number_02': (digit_strip(10, 14, GREY, False), False),
        'number': (digit_strip(17, 20, GREEN_DARK, False), False),
        'text_box_down': (combo_button_strip(), False),
        'bg_pnl_rest': (soft_panel(165, 119, hexcolor('f3faf5'), hexcolor('e6f4ea'), hexcolor('c9e3d1')), False),
        'bg_pnl_protectcolor': (soft_panel(165, 81, hexcolor('f3faf5'), hexcolor('e6f4ea'), hexcolor('c9e3d1')), False),
        'bg_rest_hint': (hint_picture(300, 70, neck_icon, WORDS['bg_rest_hint']), False),
        'bg_rest_hint2': (hint_picture(165, 70, eye_icon, WORDS['bg_rest_hint2']), False),
        # The eye sub-page's hint, low enough to leave room for the eye
        # exercise button under it.
        'bg_eye_hint': (hint_picture(165, 36, eye_icon, WORDS['bg_eye_hint']), False),
        'Dotted_line': (dotted_line(260), False),
        'icon_font': (small_icon('font'), False),
        'icon_refresh': (small_icon('refresh'), False),
        'icon_solution': (small_icon('solution'), False),
        'btnsetopen': (switch(True), False),
        'btnsetclose': (switch(False), False),
        'Confirmbg': (confirm_back(), True),
        'line': (solid_line(270), False),
    }
    return p


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--out', required=True)
    args = parser.parse_args()
    try:
        print('mirelo_art: ' + arttext.require())
        drawn = pictures()
    except arttext.ArtTextError as e:
        print('mirelo_art: error: %s' % e, file=sys.stderr)
        return 1
    out = os.path.abspath(args.out)
    res = os.path.join(out, 'res')
    rc = ['// Written by assets/mirelo_art.py at build time.', '']
    for name, (canvas, opaque) in sorted(drawn.items()):
        path = os.path.join(res, name + '.png')
        write(path, png_bytes(canvas, opaque=opaque))
        rc.append('%s DATA "%s"' % (name, path.replace('\\', '/')))
    write(os.path.join(out, 'mirelo_art.rc'), ('\n'.join(rc) + '\n').encode('utf-8'))
    return 0


if __name__ == '__main__':
    sys.exit(main())
