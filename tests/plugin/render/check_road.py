#!/usr/bin/env python3
"""Checks the picture kvjob drew of the road's job against its settings and
its source pages; with --logo FILE writes the printer memory holding logo 1."""
import json
import sys

LOGO_X, LOGO_Y = 8, 4          # bytes across, groups of 8 dots down: 64 x 32 dots
PAPER_DOTS, INK = 395, 128


def write_logo(path):
    data = bytearray()
    for c in range(LOGO_X * 8):
        for k in range(LOGO_Y):
            frame = c < 4 or c >= LOGO_X * 8 - 4 or k in (0, LOGO_Y - 1)
            data.append(0xFF if frame else (0x18 if (c // 8) % 2 else 0x81))
    open(path, "wb").write(bytes([0x1C, 0x71, 1, LOGO_X, 0, LOGO_Y, 0]) + bytes(data) + b"\n")


def pgm(path):
    raw = open(path, "rb").read()
    fields, at = [], 0
    while len(fields) < 4:
        while raw[at:at + 1].isspace():
            at += 1
        end = at
        while not raw[end:end + 1].isspace():
            end += 1
        fields.append(raw[at:end])
        at = end
    w, h = int(fields[1]), int(fields[2])
    return w, h, raw[at + 1:at + 1 + w * h]


def ink_rows(path):
    w, h, px = pgm(path)
    rows = [[px[y * w + x] < INK for x in range(min(w, PAPER_DOTS))] for y in range(h)]
    while rows and not any(rows[-1]):
        rows.pop()          # the page's trailing white is not printed
    return rows


def main(json_path, picture, *pages):
    drawn = json.load(open(json_path))
    records, paper = drawn["drawn"], drawn["paper"]
    kinds = [r["what"] for r in records]
    print("events:", " ".join(k.replace(" ", "_") for k in kinds if k != "raster image"))
    last_raster = max(i for i, k in enumerate(kinds) if k == "raster image")
    logo, cut, drawer = (kinds.index(k, last_raster) for k in ("logo", "cut", "drawer"))
    assert last_raster < logo < cut < drawer, "End of Document order: logo, cut, drawer"
    centred = (PAPER_DOTS - LOGO_X * 8) // 2
    assert abs(records[logo]["x"] - centred) <= 1, records[logo]
    assert records[cut]["kind"] == "partial" and records[cut]["y"] >= records[logo]["y"] + LOGO_Y * 8
    assert records[drawer]["on_ms"] == 10 and records[drawer]["pin"] == 2
    print("logo 1 centred at x %d, partial cut at y %d, drawer 10 ms" % (records[logo]["x"], records[cut]["y"]))

    expected = [row for page in pages for row in ink_rows(page)]
    w, h, px = pgm(picture)
    left = paper["printable_left"]
    source = printed = extra = 0
    for y, row in enumerate(expected):
        for x, ink in enumerate(row):
            dot = px[y * w + left + x] < INK
            source += ink
            printed += ink and dot
            extra += dot and not ink
    share = printed / source
    print("source dots printed: %.4f of %d; watermark dots: %d" % (share, source, extra))
    assert share >= 0.99, "the pages' dots are printed"
    assert extra >= 1000, "the watermark is drawn"


if __name__ == "__main__":
    if sys.argv[1] == "--logo":
        write_logo(sys.argv[2])
    else:
        main(*sys.argv[1:])
