#!/usr/bin/env python3
"""Writes the test logos of the Download page's end-to-end run into a folder:
colour.bmp (24-bit, 100 x 50), grey.bmp (8-bit with a full grey palette,
64 x 40), mono.bmp (one-bit, 21 x 9, palette entry 0 black) and fw.jk (a
firmware file of 300 bytes)."""
import struct
import sys


def headers(width, height, bits, palette, image):
    offset = 14 + 40 + len(palette)
    return (b"BM" + struct.pack("<IHHI", offset + len(image), 0, 0, offset) +
            struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(image), 0, 0, 0, 0) + palette)


def stride(width, bits):
    return (width * bits + 31) // 32 * 4


def colour():
    w, h = 100, 50
    rows = b""
    for y in range(h):
        row = b"".join(bytes(((x * 5) & 255, (y * 5) & 255, ((x + y) * 2) & 255)) for x in range(w))
        rows += row + b"\0" * (stride(w, 24) - len(row))
    return headers(w, h, 24, b"", rows) + rows


def grey():
    w, h = 64, 40
    palette = b"".join(bytes((i, i, i, 0)) for i in range(256))
    rows = b""
    for y in range(h):
        row = bytes(((x * 4 + y * 2) & 255) for x in range(w))
        rows += row + b"\0" * (stride(w, 8) - len(row))
    return headers(w, h, 8, palette, rows) + rows


def mono():
    w, h = 21, 9
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    rows = b""
    for y in range(h):
        bits = [1 if (x + y) % 3 else 0 for x in range(w)] + [0] * (stride(w, 1) * 8 - w)
        rows += bytes(int("".join(map(str, bits[i:i + 8])), 2) for i in range(0, len(bits), 8))
    return headers(w, h, 1, palette, rows) + rows


def main(folder):
    for name, data in (("colour.bmp", colour()), ("grey.bmp", grey()), ("mono.bmp", mono()),
                       ("fw.jk", bytes((i * 7) & 255 for i in range(300)))):
        with open(f"{folder}/{name}", "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main(sys.argv[1])
