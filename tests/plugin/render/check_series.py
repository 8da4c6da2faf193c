#!/usr/bin/env python3
"""Holds one model's printed page (kvjob's picture and record of it) against
its source page and the model's defaults:
  check_series.py TOKEN JOB.bin JOB.json JOB.pgm PAGE.pgm DRIVEN.pgm EVENTS QR_READ QR_WANTED PRINTER
PAGE.pgm is the source page, DRIVEN.pgm the same page as the driver drew it
from the PDF (pdftoppm at the model's line, a dot's shift here and there).
EVENTS: "drawer,cut" (the drawer pulse before the page, the feed to the
cutter and the cut after it), "cut", or "label" (no drawer, no cut: the
paper fed across the rest of the label and the gap to the next label)."""
import json
import sys

from check_road import pgm

INK = 128
SHARE = 0.99      # of the driver's page's dots printed where it has them
SOURCE_SHARE = 0.95  # of the source page's: the PDF's rendering shifts a few
LABEL_GAP_DOTS = 23  # the 3 mm gap between labels at 203 dpi


def paper_rows(job):
    """The rows the job moves the paper: raster rows (1D 76 30) and feeds (1B 4A n)."""
    rows, at = 0, 0
    while at < len(job):
        if job[at:at + 3] == b"\x1d\x76\x30":
            x, y = job[at + 4] | job[at + 5] << 8, job[at + 6] | job[at + 7] << 8
            rows, at = rows + y, at + 8 + x * y
        elif job[at:at + 2] == b"\x1b\x4a":
            rows, at = rows + job[at + 2], at + 3
        else:
            at += 1
    return rows


def share_of(page, picture, left):
    w, h, src = pgm(page)
    pw, ph, px = pgm(picture)
    source = printed = 0
    for y in range(h):
        for x in range(w):
            if src[y * w + x] < INK:
                source += 1
                printed += y < ph and px[y * pw + left + x] < INK
    return printed / source, source


def main(token, job_bin, job_json, picture, page, driven, events, qr_read, qr_wanted, printer):
    drawn = json.load(open(job_json))
    records, paper = drawn["drawn"], drawn["paper"]
    w, h, src = pgm(page)
    assert paper["width_dots"] == w, "%s: the roll is %d dots, the line %d" % (token, paper["width_dots"], w)
    kinds = [r["what"] for r in records]
    rasters = [i for i, k in enumerate(kinds) if k == "raster image"]
    assert rasters, "%s: no raster printed" % token
    others = [(i, k) for i, k in enumerate(kinds) if k != "raster image"]
    if events == "drawer,cut":
        assert [k for _, k in others] == ["drawer", "cut"], others
        assert others[0][0] < rasters[0] < rasters[-1] < others[1][0], "drawer before the page, cut after it"
        assert records[others[0][0]]["on_ms"] == 60
    elif events == "cut":
        assert [k for _, k in others] == ["cut"], others
        assert rasters[-1] < others[0][0], "the cut after the page"
    else:
        assert others == [], others
    if "cut" in events:
        cut = records[others[-1][0]]
        assert cut["kind"] == "partial", cut

    # Every dot of the page on the roll (the raster starts at the page's top).
    share, source = share_of(driven, picture, paper["printable_left"])
    assert share >= SHARE, "%s: %.4f of the driver's page's dots printed" % (token, share)
    source_share, _ = share_of(page, picture, paper["printable_left"])
    assert source_share >= SOURCE_SHARE, "%s: %.4f of the source page's dots printed" % (token, source_share)
    if events == "label":
        # The page is the label: the paper ends at the next label's start.
        moved = paper_rows(open(job_bin, "rb").read())
        assert moved == h + LABEL_GAP_DOTS, "%s: the paper moves %d rows, not %d + %d" % (token, moved, h, LABEL_GAP_DOTS)
    assert qr_read == qr_wanted, "%s: the QR code reads %r" % (token, qr_read)
    print("%s on %s: %.4f of the driver's %d dots (%.4f of the source's), events %s, QR %s" %
          (token, printer, share, source, source_share, events, qr_read))


if __name__ == "__main__":
    main(*sys.argv[1:])
