#!/usr/bin/env python3
"""Makes the cipher values the setup tests check, with a Blowfish of its own.

Not run by the build: its output was pasted into blowfish_test.cpp. The
initial tables are the hexadecimal digits of pi, computed here with Machin's
formula, so nothing is copied from the library under test.
"""
import sys


def pi_words(count):
    digits = count * 8 + 16
    scale = 16 ** digits

    def arctan_inv(x):
        total, term, n, sign = 0, scale // x, 1, 1
        while term:
            total += sign * (term // n)
            term //= x * x
            n += 2
            sign = -sign
        return total

    pi = 4 * (4 * arctan_inv(5) - arctan_inv(239))
    frac = pi - 3 * scale
    hexdigits = format(frac, "0%dx" % digits)
    return [int(hexdigits[i * 8:i * 8 + 8], 16) for i in range(count)]


WORDS = pi_words(18 + 1024)
M = 0xFFFFFFFF


class Blowfish:
    def __init__(self, key):
        self.p = WORDS[:18]
        self.s = [WORDS[18 + 256 * i:18 + 256 * (i + 1)] for i in range(4)]
        j = 0
        for i in range(18):
            w = 0
            for _ in range(4):
                w = (w << 8) | key[j % len(key)]
                j += 1
            self.p[i] ^= w
        l = r = 0
        for i in range(0, 18, 2):
            l, r = self.enc(l, r)
            self.p[i], self.p[i + 1] = l, r
        for box in self.s:
            for i in range(0, 256, 2):
                l, r = self.enc(l, r)
                box[i], box[i + 1] = l, r

    def f(self, x):
        a, b, c, d = x >> 24, (x >> 16) & 255, (x >> 8) & 255, x & 255
        return ((((self.s[0][a] + self.s[1][b]) & M) ^ self.s[2][c]) + self.s[3][d]) & M

    def enc(self, l, r):
        for i in range(16):
            l ^= self.p[i]
            r ^= self.f(l)
            l, r = r, l
        l, r = r, l
        r ^= self.p[16]
        l ^= self.p[17]
        return l, r

    def dec(self, l, r):
        for i in range(17, 1, -1):
            l ^= self.p[i]
            r ^= self.f(l)
            l, r = r, l
        l, r = r, l
        r ^= self.p[1]
        l ^= self.p[0]
        return l, r


def block(fn, data):
    out = b""
    for i in range(0, len(data), 8):
        l, r = fn(int.from_bytes(data[i:i + 4], "big"), int.from_bytes(data[i + 4:i + 8], "big"))
        out += l.to_bytes(4, "big") + r.to_bytes(4, "big")
    return out


FIXED = b"KarXml{7C21A9D4-3B58-4E06-9F1A-52D8B7E3C610}"


def main():
    if len(sys.argv) > 1 and sys.argv[1] == "--tables":
        for i in range(0, len(WORDS), 6):
            print("    " + ", ".join("0x%08X" % w for w in WORDS[i:i + 6]) + ",")
        return
    show = lambda name, b: print("%-34s %s" % (name, b.hex().upper()))
    for key, plain in [(b"\0" * 8, b"\0" * 8), (b"\xff" * 8, b"\xff" * 8),
                       (b"abcdefghijklmnopqrstuvwxyz", b"BLOWFISH"),
                       (b"Who is John Galt?", bytes.fromhex("FEDCBA9876543210"))]:
        show("E %r" % key[:10], block(Blowfish(key).enc, plain))
    fixed = Blowfish(FIXED + b"\0")
    show("fixed E 0", block(fixed.enc, b"\0" * 8))
    show("fixed D 0", block(fixed.dec, b"\0" * 8))
    show("fixed E 0123456789ABCDEF", block(fixed.enc, bytes.fromhex("0123456789ABCDEF")))
    show("44-byte key (no NUL) E 0", block(Blowfish(FIXED).enc, b"\0" * 8))
    show("fixed E 5B5D", block(fixed.enc, b"[]" + b"\0" * 6))
    text = b'[{"involve":1,"adId":7,"rcmendUrl":"http://127.0.0.1/x"}]'
    show("fixed E text (%d bytes)" % len(text), block(fixed.enc, text + b"\0" * (64 - len(text))))
    # CBC with a zero vector over "ABCDEFGHIJKLM" and 03 03 03.
    plain, prev, out = b"ABCDEFGHIJKLM\x03\x03\x03", b"\0" * 8, b""
    for i in range(0, len(plain), 8):
        x = bytes(a ^ b for a, b in zip(plain[i:i + 8], prev))
        prev = block(fixed.enc, x)
        out += prev
    show("fixed CBC ABCDEFGHIJKLM 030303", out)


if __name__ == "__main__":
    main()
