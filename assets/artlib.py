"""Small anti-aliased raster for the build-time artwork.

Shapes are described by signed distance functions in a local coordinate
system; each pixel's coverage comes from its distance to the edge, which
gives smooth edges without supersampling. Pixels are kept premultiplied,
as the program wants them at run time, and written straight to PNG.
"""

import os
import math
import struct
import zlib


def clamp01(v):
    return 0.0 if v < 0.0 else (1.0 if v > 1.0 else v)


def hexcolor(text, alpha=1.0):
    text = text.lstrip('#')
    return (int(text[0:2], 16) / 255.0, int(text[2:4], 16) / 255.0,
            int(text[4:6], 16) / 255.0, alpha)


def mix(c1, c2, t):
    return tuple(a + (b - a) * t for a, b in zip(c1, c2))


def lighten(c, t):
    return mix(c, (1.0, 1.0, 1.0, c[3]), t)


def darken(c, t):
    return mix(c, (0.0, 0.0, 0.0, c[3]), t)


# --- distance functions (local coordinates) ---------------------------------

def sd_circle(cx, cy, r):
    def f(x, y):
        return math.hypot(x - cx, y - cy) - r
    return f


def sd_ellipse(cx, cy, rx, ry):
    # A good approximation that keeps the edge width even for long ellipses.
    def f(x, y):
        px, py = (x - cx) / rx, (y - cy) / ry
        k0 = math.hypot(px, py)
        if k0 == 0.0:
            return -min(rx, ry)
        k1 = math.hypot(px / rx, py / ry)
        return k0 * (k0 - 1.0) / k1
    return f


def sd_rrect(x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hw, hh = (x1 - x0) / 2.0 - r, (y1 - y0) / 2.0 - r

    def f(x, y):
        qx, qy = abs(x - cx) - hw, abs(y - cy) - hh
        ox, oy = max(qx, 0.0), max(qy, 0.0)
        return math.hypot(ox, oy) + min(max(qx, qy), 0.0) - r
    return f


def _seg(x, y, ax, ay, bx, by):
    pax, pay = x - ax, y - ay
    bax, bay = bx - ax, by - ay
    den = bax * bax + bay * bay
    h = 0.0 if den == 0 else clamp01((pax * bax + pay * bay) / den)
    return math.hypot(pax - bax * h, pay - bay * h)


def sd_polyline(points, r):
    segs = list(zip(points, points[1:])) or [(points[0], points[0])]

    def f(x, y):
        return min(_seg(x, y, a[0], a[1], b[0], b[1]) for a, b in segs) - r
    return f


def sd_polygon(points):
    n = len(points)

    def f(x, y):
        d = float('inf')
        inside = False
        j = n - 1
        for i in range(n):
            xi, yi = points[i]
            xj, yj = points[j]
            d = min(d, _seg(x, y, xi, yi, xj, yj))
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                inside = not inside
            j = i
        return -d if inside else d
    return f


def sd_ring(cx, cy, r, w):
    def f(x, y):
        return abs(math.hypot(x - cx, y - cy) - r) - w / 2.0
    return f


def sd_union(*fs):
    def f(x, y):
        return min(g(x, y) for g in fs)
    return f


def sd_subtract(a, b):
    def f(x, y):
        return max(a(x, y), -b(x, y))
    return f


def sd_intersect(a, b):
    def f(x, y):
        return max(a(x, y), b(x, y))
    return f


def arc_points(cx, cy, rx, ry, a0, a1, steps=16):
    pts = []
    for i in range(steps + 1):
        a = math.radians(a0 + (a1 - a0) * i / steps)
        pts.append((cx + rx * math.cos(a), cy + ry * math.sin(a)))
    return pts


def quad_points(p0, p1, p2, steps=12):
    pts = []
    for i in range(steps + 1):
        t = i / steps
        u = 1 - t
        pts.append((u * u * p0[0] + 2 * u * t * p1[0] + t * t * p2[0],
                    u * u * p0[1] + 2 * u * t * p1[1] + t * t * p2[1]))
    return pts


# --- canvas ------------------------------------------------------------------

class Canvas:
    def __init__(self, width, height):
        self.w = width
        self.h = height
        self.px = [0.0] * (width * height * 4)  # premultiplied RGBA, 0..1
        self._stack = []
        self.m = (1.0, 0.0, 0.0, 1.0, 0.0, 0.0)  # pixel = M * local
        self.opacity = 1.0

    # Transform: translate, then rotate (degrees), then scale, in local terms.
    def push(self, dx=0.0, dy=0.0, scale=1.0, angle=0.0, opacity=1.0):
        self._stack.append((self.m, self.opacity))
        a, b, c, d, e, f = self.m
        e, f = a * dx + c * dy + e, b * dx + d * dy + f
        ca, sa = math.cos(math.radians(angle)), math.sin(math.radians(angle))
        a, b, c, d = (a * ca + c * sa, b * ca + d * sa, -a * sa + c * ca, -b * sa + d * ca)
        self.m = (a * scale, b * scale, c * scale, d * scale, e, f)
        self.opacity *= opacity

    def pop(self):
        self.m, self.opacity = self._stack.pop()

    def fill(self, sdf, bbox, color):
        """Paints `color` (an RGBA tuple or a function of local x, y) where
        sdf < 0, inside the local bounding box (x0, y0, x1, y1)."""
        a, b, c, d, e, f = self.m
        det = a * d - b * c
        if det == 0:
            return
        scale = math.sqrt(abs(det))
        corners = [(bbox[0], bbox[1]), (bbox[2], bbox[1]), (bbox[0], bbox[3]), (bbox[2], bbox[3])]
        xs = [a * x + c * y + e for x, y in corners]
        ys = [b * x + d * y + f for x, y in corners]
        px0 = max(0, int(math.floor(min(xs))) - 2)
        py0 = max(0, int(math.floor(min(ys))) - 2)
        px1 = min(self.w, int(math.ceil(max(xs))) + 2)
        py1 = min(self.h, int(math.ceil(max(ys))) + 2)
        if px0 >= px1 or py0 >= py1:
            return
        ia, ib, ic, id_ = d / det, -b / det, -c / det, a / det
        opacity = self.opacity
        const = None if callable(color) else color
        px = self.px
        w = self.w
        for py in range(py0, py1):
            cy = py + 0.5 - f
            row = py * w
            for pxx in range(px0, px1):
                cx = pxx + 0.5 - e
                lx = ia * cx + ic * cy
                ly = ib * cx + id_ * cy
                dist = sdf(lx, ly) * scale
                if dist >= 0.5:
                    continue
                cov = 1.0 if dist <= -0.5 else 0.5 - dist
                col = const if const is not None else color(lx, ly)
                alpha = col[3] * cov * opacity
                if alpha <= 0.0:
                    continue
                i = (row + pxx) * 4
                keep = 1.0 - alpha
                px[i] = col[0] * alpha + px[i] * keep
                px[i + 1] = col[1] * alpha + px[i + 1] * keep
                px[i + 2] = col[2] * alpha + px[i + 2] * keep
                px[i + 3] = alpha + px[i + 3] * keep

    # Convenience shapes.
    def circle(self, cx, cy, r, color):
        self.fill(sd_circle(cx, cy, r), (cx - r, cy - r, cx + r, cy + r), color)

    def ellipse(self, cx, cy, rx, ry, color, angle=0.0):
        if angle:
            self.push(cx, cy, 1.0, angle)
            self.fill(sd_ellipse(0, 0, rx, ry), (-rx, -ry, rx, ry), color)
            self.pop()
        else:
            self.fill(sd_ellipse(cx, cy, rx, ry), (cx - rx, cy - ry, cx + rx, cy + ry), color)

    def rrect(self, x0, y0, x1, y1, r, color):
        self.fill(sd_rrect(x0, y0, x1, y1, r), (x0, y0, x1, y1), color)

    def line(self, points, width, color):
        r = width / 2.0
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        self.fill(sd_polyline(points, r), (min(xs) - r, min(ys) - r, max(xs) + r, max(ys) + r), color)

    def polygon(self, points, color):
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        self.fill(sd_polygon(points), (min(xs), min(ys), max(xs), max(ys)), color)

    def ring(self, cx, cy, r, width, color):
        o = r + width
        self.fill(sd_ring(cx, cy, r, width), (cx - o, cy - o, cx + o, cy + o), color)

    def shape(self, sdf, bbox, color):
        self.fill(sdf, bbox, color)

    def vgradient(self, x0, y0, x1, y1, top, bottom):
        """Opaque-or-not fill of a pixel rectangle with a vertical gradient
        (no transform: for backgrounds)."""
        x0, y0 = max(0, int(x0)), max(0, int(y0))
        x1, y1 = min(self.w, int(x1)), min(self.h, int(y1))
        span = max(1, y1 - y0 - 1)
        for y in range(y0, y1):
            col = mix(top, bottom, (y - y0) / span)
            a = col[3]
            row = [col[0] * a, col[1] * a, col[2] * a, a] * (x1 - x0)
            i = (y * self.w + x0) * 4
            self.px[i:i + len(row)] = row

    def paint_mask(self, x0, y0, w, h, coverage, color):
        """Paints `color` through an 8-bit coverage mask (w x h bytes, rows
        top down) whose top-left lies on pixel (x0, y0); no transform."""
        opacity = self.opacity
        px = self.px
        for y in range(h):
            ty = y0 + y
            if ty < 0 or ty >= self.h:
                continue
            for x in range(w):
                tx = x0 + x
                c = coverage[y * w + x]
                if c == 0 or tx < 0 or tx >= self.w:
                    continue
                alpha = color[3] * (c / 255.0) * opacity
                i = (ty * self.w + tx) * 4
                keep = 1.0 - alpha
                px[i] = color[0] * alpha + px[i] * keep
                px[i + 1] = color[1] * alpha + px[i + 1] * keep
                px[i + 2] = color[2] * alpha + px[i + 2] * keep
                px[i + 3] = alpha + px[i + 3] * keep

    def blit(self, src, dx, dy):
        """Composites another canvas over this one at (dx, dy)."""
        for y in range(src.h):
            ty = dy + y
            if ty < 0 or ty >= self.h:
                continue
            for x in range(src.w):
                tx = dx + x
                if tx < 0 or tx >= self.w:
                    continue
                s = (y * src.w + x) * 4
                a = src.px[s + 3]
                if a <= 0.0:
                    continue
                t = (ty * self.w + tx) * 4
                keep = 1.0 - a
                for k in range(3):
                    self.px[t + k] = src.px[s + k] + self.px[t + k] * keep
                self.px[t + 3] = a + self.px[t + 3] * keep

    def rgba8(self):
        """Straight (not premultiplied) 8-bit RGBA rows."""
        out = bytearray(self.w * self.h * 4)
        p = self.px
        for i in range(0, len(p), 4):
            a = p[i + 3]
            if a <= 0.0:
                continue
            a8 = int(round(clamp01(a) * 255))
            out[i] = int(round(clamp01(p[i] / a) * 255))
            out[i + 1] = int(round(clamp01(p[i + 1] / a) * 255))
            out[i + 2] = int(round(clamp01(p[i + 2] / a) * 255))
            out[i + 3] = a8
        return out


def strip(frames):
    """Frames of equal size side by side."""
    w, h = frames[0].w, frames[0].h
    out = Canvas(w * len(frames), h)
    for n, fr in enumerate(frames):
        for y in range(h):
            s = y * w * 4
            t = (y * out.w + n * w) * 4
            out.px[t:t + w * 4] = fr.px[s:s + w * 4]
    return out


# --- file formats --------------------------------------------------------------

def _chunk(kind, data):
    body = kind + data
    return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xFFFFFFFF)


def png_bytes(canvas, opaque=False):
    """PNG of the canvas: RGB when `opaque` (alpha dropped over white),
    else RGBA."""
    rgba = canvas.rgba8()
    w, h = canvas.w, canvas.h
    raw = bytearray()
    if opaque:
        for y in range(h):
            raw.append(0)
            for x in range(w):
                i = (y * w + x) * 4
                a = rgba[i + 3] / 255.0
                raw.extend(int(round(rgba[i + k] * a + 255 * (1 - a))) for k in range(3))
        color_type = 2
    else:
        stride = w * 4
        for y in range(h):
            raw.append(0)
            raw.extend(rgba[y * stride:(y + 1) * stride])
        color_type = 6
    ihdr = struct.pack('>IIBBBBB', w, h, 8, color_type, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + _chunk(b'IHDR', ihdr) +
            _chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + _chunk(b'IEND', b''))


def _dib_entry(canvas):
    """A 32-bit icon image: BITMAPINFOHEADER, bottom-up BGRA, AND mask."""
    w, h = canvas.w, canvas.h
    rgba = canvas.rgba8()
    header = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            i = (y * w + x) * 4
            xor.extend((rgba[i + 2], rgba[i + 1], rgba[i], rgba[i + 3]))
    mask_stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(mask_stride)
        for x in range(w):
            if rgba[(y * w + x) * 4 + 3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask.extend(row)
    return header + bytes(xor) + bytes(mask)


def icon_bytes(canvases, hotspots=None):
    """An .ico (or a .cur when hotspots are given) with one image per canvas."""
    kind = 2 if hotspots else 1
    entries = [_dib_entry(c) for c in canvases]
    out = struct.pack('<HHH', 0, kind, len(canvases))
    offset = 6 + 16 * len(canvases)
    for n, (c, data) in enumerate(zip(canvases, entries)):
        if hotspots:
            p1, p2 = hotspots[n]
        else:
            p1, p2 = 1, 32
        out += struct.pack('<BBBBHHII', c.w % 256, c.h % 256, 0, 0, p1, p2, len(data), offset)
        offset += len(data)
    return out + b''.join(entries)


def write_file(path, data):
    """Writes bytes, making the folder first."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(data)
