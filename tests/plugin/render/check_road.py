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


def write_pdf(out, *pages):
    """A PDF of grey pictures, one page each, 1 point a pixel."""
    objects = ["<< /Type /Catalog /Pages 2 0 R >>", None]
    kids = []
    for path in pages:
        w, h, px = pgm(path)
        image = len(objects) + 1
        objects.append(("<< /Type /XObject /Subtype /Image /Width %d /Height %d /ColorSpace /DeviceGray "
                        "/BitsPerComponent 8 /Length %d >>" % (w, h, len(px)), px))
        draw = b"q %d 0 0 %d 0 0 cm /I Do Q" % (w, h)
        objects.append(("<< /Length %d >>" % len(draw), draw))
        kids.append(len(objects) + 1)
        objects.append("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 %d %d] /Resources << /XObject << /I %d 0 R >> >> "
                       "/Contents %d 0 R >>" % (w, h, image, image + 1))
    objects[1] = "<< /Type /Pages /Kids [%s] /Count %d >>" % (" ".join("%d 0 R" % k for k in kids), len(kids))
    data, offsets = bytearray(b"%PDF-1.4\n"), []
    for number, body in enumerate(objects, 1):
        offsets.append(len(data))
        data += b"%d 0 obj\n" % number
        if isinstance(body, tuple):
            data += body[0].encode() + b"\nstream\n" + body[1] + b"\nendstream"
        else:
            data += body.encode()
        data += b"\nendobj\n"
    xref = len(data)
    data += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    data += b"".join(b"%010d 00000 n \n" % o for o in offsets)
    data += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(objects) + 1, xref)
    open(out, "wb").write(bytes(data))


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
    print("source dots printed: %.4f of %d, watermark dots: %d" % (share, source, extra))
    assert share >= 0.99, "the pages' dots are printed"
    assert extra >= 1000, "the watermark is drawn"


if __name__ == "__main__":
    if sys.argv[1] == "--logo":
        write_logo(sys.argv[2])
    elif sys.argv[1] == "--pdf":
        write_pdf(*sys.argv[2:])
    else:
        main(*sys.argv[1:])
