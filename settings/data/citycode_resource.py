#!/usr/bin/env python3
"""Turns the weather-station list (UTF-8, one "name=code" a line) into the
bytes of the program's "CITYCODE" resource: UTF-16LE with a byte-order mark,
every line ending in CR LF.

    citycode_resource.py IN OUT

The list is checked on the way, so that a bad edit fails the build rather
than a drop-down list: every line is a name, "=", and a nine-digit code
starting with 101.
"""
import re
import sys

LINE = re.compile(r"^[^=]+=101\d{6}$")


def convert(text):
    lines = text.replace("\r\n", "\n").split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    for number, line in enumerate(lines, 1):
        if not LINE.match(line):
            raise ValueError("line %d is not name=code: %r" % (number, line))
    return b"\xff\xfe" + "".join(line + "\r\n" for line in lines).encode("utf-16-le")


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    with open(argv[1], encoding="utf-8") as source:
        try:
            data = convert(source.read())
        except ValueError as error:
            sys.stderr.write("%s: %s\n" % (argv[1], error))
            return 1
    with open(argv[2], "wb") as target:
        target.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
