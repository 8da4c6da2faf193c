#!/usr/bin/env python3
"""Writes the sample jobs the virtual printer's tests and the README draw
into a folder:
  selftest.bin  the Utility page's self-test job
  code93.bin    the 1D Code page's Code93 test print of "123456789"
                (element width 3, height 163, HRI below in Font A)
  logo.bin      a Download page "LOGO" job storing one 192 x 64 dot logo
  qr_till.bin   a till job: logo 1 centred, a QR code (module 6, model 2,
                error level M) below it, a line of text, a partial cut
The folder also holds, as they are, the jobs the 1D and 2D Code pages sent
in the every-symbol run (page-test-print-NN.bin) and a till program's
receipt with escape sequences the printer does not know (till_escapes.bin):
together they seed the virtual printer's fuzz target.
"""
import sys

BRACKET_OPEN = b"\x1b\x63\x3b\x01"
BRACKET_CLOSE = b"\x1b\x63\x3b\x00"

# 5 x 7 letters of the logo's text.
GLYPHS = {
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "-": ["00000", "00000", "00000", "11111", "00000", "00000", "00000"],
    "Q": ["01110", "10001", "10001", "10001", "10101", "10010", "01101"],
    "4": ["00010", "00110", "01010", "10010", "11111", "00010", "00010"],
    "0": ["01110", "10001", "10011", "10101", "11001", "10001", "01110"],
}


def logo_dots(width=192, height=64, text="VRT-Q40", scale=4):
    dots = [[0] * width for _ in range(height)]
    for x in range(width):  # a frame two dots thick
        for y in (0, 1, height - 2, height - 1):
            dots[y][x] = 1
    for y in range(height):
        for x in (0, 1, width - 2, width - 1):
            dots[y][x] = 1
    left = (width - len(text) * 6 * scale + scale) // 2
    top = (height - 7 * scale) // 2
    for i, ch in enumerate(text):
        for row, bits in enumerate(GLYPHS[ch]):
            for col, bit in enumerate(bits):
                if bit == "1":
                    for dy in range(scale):
                        for dx in range(scale):
                            dots[top + row * scale + dy][left + (i * 6 + col) * scale + dx] = 1
    return dots


def logo_job(dots):
    height, width = len(dots), len(dots[0])
    x, y = width // 8, height // 8
    data = bytearray()
    for column in range(width):  # column by column, top dot in the high bit
        for group in range(y):
            byte = 0
            for bit in range(8):
                byte = (byte << 1) | dots[group * 8 + bit][column]
            data.append(byte)
    header = bytes([x & 255, x >> 8, y & 255, y >> 8])
    return BRACKET_OPEN + b"\x1c\x71\x01" + header + bytes(data) + b"\x0a" + BRACKET_CLOSE


def main(folder):
    jobs = {
        "selftest.bin": BRACKET_OPEN + b"\x1d\x28\x41\x02\x00\x00\x02" + BRACKET_CLOSE,
        "code93.bin": (b"\x1d\x66\x00\x1d\x48\x02\x1d\x77\x03\x1d\x68\xa3\x1d\x6b\x48\x00"
                       b"\x1d\x77\x03\x1d\x68\xa3\x1d\x6b\x48\x09123456789\x00\x0a"),
        "logo.bin": logo_job(logo_dots()),
        "qr_till.bin": (b"\x1b\x40\x1b\x61\x01\x1c\x70\x01\x00\x1b\x64\x01"
                        b"\x1d\x6f\x00\x06\x00\x02\x1d\x6b\x0b\x4d\x41\x2c"
                        b"https://example.com/receipt/0042\x00\x0a"
                        b"Scan for your receipt\n\x1b\x64\x02\x1d\x56\x42\x00"),
    }
    for name, data in jobs.items():
        with open(f"{folder}/{name}", "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main(sys.argv[1])
