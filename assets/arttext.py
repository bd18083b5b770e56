"""Words in the build-time artwork.

Text is drawn by FreeType through Pillow in one CJK font from Debian, then
laid into the premultiplied canvas of artlib as an anti-aliased coverage
mask. The font file, its face in the collection, the layout engine and the
anti-aliasing mode are fixed here, so the same packages give the same bytes.
"""

import os
import subprocess
import sys

FONT_FILE = '/usr/share/fonts/truetype/wqy/wqy-microhei.ttc'
FONT_FACE = 0  # WenQuanYi Micro Hei (face 1 is its monospaced sister)
FONT_PACKAGE = 'fonts-wqy-microhei'
PILLOW_PACKAGE = 'python3-pil'


class ArtTextError(Exception):
    """A word that cannot be drawn as asked; the build stops on it."""


_pil = None
_fonts = {}


def _package_version(package):
    try:
        out = subprocess.run(['dpkg-query', '-W', '-f=${Version}', package],
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, check=False)
        return out.stdout.decode('ascii', 'replace').strip() or 'unknown'
    except OSError:
        return 'unknown'


def require(font_file=FONT_FILE):
    """Makes sure the font engine and the font are there and returns one
    line for the build log naming what draws the words. Missing pieces
    raise ArtTextError naming the Debian package that brings them."""
    global _pil
    try:
        from PIL import Image, ImageDraw, ImageFont, features
    except ImportError:
        raise ArtTextError('the artwork draws its words with Pillow, which this Python (%s) lacks: '
                           'install the Debian package %s (scripts/setup does) and build with '
                           '/usr/bin/python3' % (sys.executable, PILLOW_PACKAGE))
    if not features.check('freetype2'):
        raise ArtTextError('Pillow was built without FreeType: install the Debian package %s' % PILLOW_PACKAGE)
    if not os.path.isfile(font_file):
        raise ArtTextError('the artwork font %s is missing: install the Debian package %s (scripts/setup does)'
                           % (font_file, FONT_PACKAGE))
    _pil = (Image, ImageDraw, ImageFont)
    _fonts.clear()
    _fonts['file'] = font_file
    import PIL
    return 'words drawn with %s (%s %s), Pillow %s, FreeType %s' % (
        font_file, FONT_PACKAGE, _package_version(FONT_PACKAGE), PIL.__version__,
        features.version('freetype2'))


def _font(size):
    if _pil is None:
        raise ArtTextError('arttext.require() must run before any word is drawn')
    font = _fonts.get(size)
    if font is None:
        # The basic layout: no shaping library whose presence could change
        # the result between machines.
        font = _pil[2].truetype(_fonts['file'], size, index=FONT_FACE,
                                layout_engine=_pil[2].Layout.BASIC)
        _fonts[size] = font
    return font


def text_width(text, size):
    """Advance width of `text` in pixels."""
    return int(round(_font(size).getlength(text)))


def _baseline_for_middle(size, middle):
    # Ideographs sit between the top and the bottom of this one.
    top, bottom = _font(size).getbbox('中', anchor='ls')[1::2]
    return int(round(middle - (top + bottom) / 2.0))


def draw_text(cv, x, text, size, color, middle=None, baseline=None, align='left', room=None):
    """Draws one line of `text` in canvas pixels (the canvas's transform does
    not apply). x is the left edge, the centre or the right edge by `align`;
    the line sits on `baseline`, or is centred on `middle` by the height of an
    ideograph. With `room`, a line wider than that many pixels is an error:
    a wording that no longer fits must not be cut off silently."""
    font = _font(size)
    width = font.getlength(text)
    if room is not None and width > room:
        raise ArtTextError('"%s" is %d pixels wide at %d px, but its picture leaves %d'
                           % (text, int(round(width)), size, room))
    if baseline is None:
        baseline = _baseline_for_middle(size, middle)
    left = x - {'left': 0.0, 'center': width / 2.0, 'right': width}[align]
    left = int(round(left))
    x0, y0, x1, y1 = font.getbbox(text, anchor='ls')
    if x1 <= x0 or y1 <= y0:
        return
    Image, ImageDraw, _ = _pil
    mask = Image.new('L', (x1 - x0, y1 - y0), 0)
    draw = ImageDraw.Draw(mask)
    draw.fontmode = 'L'  # anti-aliased, 256 levels
    draw.text((-x0, -y0), text, fill=255, font=font, anchor='ls')
    cv.paint_mask(left + x0, baseline + y0, mask.width, mask.height, mask.tobytes(), color)


def draw_lines(cv, x, lines, size, color, top, leading, align='left', room=None):
    """Several lines, the first centred on `top` + size / 2, each next one
    `leading` pixels lower."""
    for n, line in enumerate(lines):
        draw_text(cv, x, line, size, color, middle=top + size / 2.0 + n * leading, align=align, room=room)
