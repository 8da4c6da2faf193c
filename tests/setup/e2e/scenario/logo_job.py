#!/usr/bin/env python3
"""The bytes a one-logo "LOGO" job carries for a one-bit BMP, as the printer
reads them: opening bracket, 1C 71 01, the logo's header (width in bytes,
height in groups of eight dots, low byte first) and its dots column by
column, 0A, closing bracket.

    logo_job.py LOGO.bmp   prints the job's bytes in hexadecimal

The dots come from the BMP as a picture (the pixel rows, black printed),
so the expected job follows from what the converter drew, not from the
page's encoder."""
import struct
import sys

OPEN_BRACKET = bytes.fromhex("1b633b01")
CLOSE_BRACKET = bytes.fromhex("1b633b00")
DEFINE_ONE_LOGO = bytes.fromhex("1c7101")
END_OF_LOGOS = bytes.fromhex("0a")


def black_dots(path):
    """Rows from the top of the picture, each a list of 1 (black) or 0."""
    data = open(path, "rb").read()
    offset, = struct.unpack_from("<I", data, 10)
    header_size, width, height, _, bits = struct.unpack_from("<IiiHH", data, 14)
    if bits != 1:
        raise SystemExit("%s: not a one-bit BMP" % path)
    palette = data[14 + header_size:14 + header_size + 8]
    black = [sum(palette[i * 4:i * 4 + 3]) == 0 for i in range(2)]
    stride = (width + 31) // 32 * 4
    rows = []
    for stored in range(abs(height)):
        row = data[offset + stored * stride:offset + (stored + 1) * stride]
        rows.append([1 if black[(row[x // 8] >> (7 - x % 8)) & 1] else 0 for x in range(width)])
    if height > 0:  # stored bottom row first
        rows.reverse()
    return width, rows


def job(path):
    width, rows = black_dots(path)
    x = (width + 31) // 32 * 4
    y = (len(rows) + 7) // 8
    # Blank rows fill the last group of eight above the picture.
    padded = [[0] * (x * 8)] * (y * 8 - len(rows)) + [r + [0] * (x * 8 - width) for r in rows]
    dots = bytearray()
    for column in range(x * 8):
        for group in range(y):
            byte = 0
            for j in range(8):
                byte = byte << 1 | padded[group * 8 + j][column]
            dots.append(byte)
    return OPEN_BRACKET + DEFINE_ONE_LOGO + struct.pack("<HH", x, y) + bytes(dots) + END_OF_LOGOS + CLOSE_BRACKET


if __name__ == "__main__":
    print(job(sys.argv[1]).hex())
