#!/usr/bin/python3
"""Reads a word back from a screenshot.

The ink of a region is what differs clearly from the plain band colour of
its row (taken from one column of the screenshot that holds nothing but the
band). Each candidate word is drawn in the artwork's font at each given size
and slid over the ink; its score is the best overlap (intersection over
union) of its glyphs with the ink. The expected word must score best, and
well: a grey bar, a row of dots or another word does not.

    read_words.py SHOT --box X0 Y0 X1 Y1 --band-x X --sizes 16 17 18
                  --expect WORD --other WORD [WORD ...]

Prints every score; exits 0 when the expected word wins with at least
--least (default 0.75).
"""

import argparse
import os
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFont

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'assets'))
import arttext  # noqa: E402  (the font the artwork is drawn in)


def ink_of(shot, box, band_x):
    x0, y0, x1, y1 = box
    region = shot.crop(box).convert('RGB')
    ink = Image.new('L', region.size, 0)
    pixels, out = region.load(), ink.load()
    distances = {}
    for y in range(region.height):
        band = shot.getpixel((band_x, y0 + y))[:3]
        for x in range(region.width):
            p = pixels[x, y]
            distances[x, y] = sum(abs(p[k] - band[k]) for k in range(3))
    strongest = max(distances.values()) or 1
    for (x, y), d in distances.items():
        if d * 2 >= strongest:
            out[x, y] = 255
    return ink


def glyphs(word, size):
    font = ImageFont.truetype(arttext.FONT_FILE, size, index=arttext.FONT_FACE,
                              layout_engine=ImageFont.Layout.BASIC)
    x0, y0, x1, y1 = font.getbbox(word, anchor='ls')
    mask = Image.new('L', (x1 - x0, y1 - y0), 0)
    draw = ImageDraw.Draw(mask)
    draw.text((-x0, -y0), word, fill=255, font=font, anchor='ls')
    return mask.point(lambda v: 255 if v >= 128 else 0)


def count(mask):
    return mask.histogram()[255]


def best_overlap(ink, template):
    t_count = count(template)
    best = 0.0
    for y in range(ink.height - template.height + 1):
        for x in range(ink.width - template.width + 1):
            window = ink.crop((x, y, x + template.width, y + template.height))
            both = count(ImageChops.multiply(window, template))
            if both:
                best = max(best, both / float(count(window) + t_count - both))
    return best


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('shot')
    parser.add_argument('--box', type=int, nargs=4, required=True)
    parser.add_argument('--band-x', type=int, required=True)
    parser.add_argument('--sizes', type=int, nargs='+', required=True)
    parser.add_argument('--expect', required=True)
    parser.add_argument('--other', nargs='+', default=[])
    parser.add_argument('--least', type=float, default=0.75)
    args = parser.parse_args()

    ink = ink_of(Image.open(args.shot), tuple(args.box), args.band_x)
    scores = {}
    for word in [args.expect] + args.other:
        scores[word] = max(best_overlap(ink, glyphs(word, size)) for size in args.sizes)
    print(' '.join('%s=%.2f' % (w, s) for w, s in scores.items()))
    rival = max([s for w, s in scores.items() if w != args.expect] + [0.0])
    ok = scores[args.expect] >= args.least and scores[args.expect] > rival
    return 0 if ok else 1


if __name__ == '__main__':
    sys.exit(main())
