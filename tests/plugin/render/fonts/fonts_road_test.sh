#!/bin/bash
# The printer's own fonts on the whole road: the Linux kitsetup installs the
# receipt printer on a virtual machine (LPT1:), the 1D Code page sets
# 1D Code1 to Code128 with its HRI below and the control-font table gives
# "A" the drawer pulse (both through the console sheets), then a receipt
# description (a logo, Font A at two sizes, Font B, "1D Code1", "2D Code1",
# "Control" "A") prints through the test host with the STD data file, the
# GDI data file, and with "Print all text as graphics"; kvjob draws each.
# Usage: fonts_road_test.sh VMACHINE PRINTUI_SHEETS PRINTJOB_HOST KVJOB KIT_PLUGIN_FILES KIT_FOLDER WORK
set -euo pipefail
vm=$1 sheets=$2 host=$3 kvjob=$4 kit_files=$5 kit=$6 work=$7
here=$(cd "$(dirname "$0")" && pwd)
printer='VRT-Q40(P)'
rm -rf "$work" && mkdir -p "$work" && cd "$work"
"$vm" create machine --preset win7-x64-en >/dev/null
"$kit/kitsetup" --machine machine --script "$here/walk_lpt_std.txt" >install.txt 2>&1 ||
  { cat install.txt; exit 1; }
driver_file() { find machine -ipath "*spool/drivers/x64/3/$1" | head -n 1; }
std=$(driver_file VRTQ40S.GPD)
[ -n "$std" ] || { echo "no VRTQ40S.GPD in the driver folder"; exit 1; }
gdi=$(find "$kit" -ipath '*/W64/VRTQ40G.GPD' | head -n 1)  # the GDI flavour as the kit ships it
"$sheets" prefs "$printer" --machine machine --kit-files "$kit_files" --script "$here/fonts_prefs.txt" | tail -1
"$sheets" props "$printer" --machine machine --kit-files "$kit_files" --script "$here/control_font.txt" | tail -1

# The logo: a 128 x 64 dot frame with a diagonal.
python3 - <<'PY'
w, h = 128, 64
rows = bytearray()
for y in range(h):
    for x in range(w):
        ink = x < 4 or x >= w - 4 or y < 4 or y >= h - 4 or abs(x - 2 * y) < 3
        rows.append(0 if ink else 255)
open("logo.pgm", "wb").write(b"P5\n%d %d\n255\n" % (w, h) + bytes(rows))
PY
cp "$here/receipt.page" .

# The speed benchmark's receipt: 40 lines of Font A, a Code128 and a QR code.
python3 - <<'PY'
lines = ["text 0 %d 9.5 FontA11: Item %02d %s %6.2f" % (i * 24, i + 1, "." * 18, 1.25 * (i + 1)) for i in range(40)]
lines.append("text 0 %d 75.0 1D Code1: {BKIT-0042" % (40 * 24 + 8))
lines.append("text 0 %d 9.5 2D Code1: KIT-RECEIPT-0042" % (40 * 24 + 210))
open("receipt40.page", "w").write("\n".join(lines) + "\n")
PY
speed() {  # speed NAME GPD: the 40-line receipt's bytes
  "$host" receipt40.page --printer "$printer" --machine machine --gpd "$2" -o "$1.bin" >/dev/null
  stat -c %s "$1.bin"
}

print() {  # print NAME GPD: the job, its picture, what zbarimg reads
  "$host" receipt.page --printer "$printer" --machine machine --gpd "$2" -o "$1.bin" | grep -v '^printjob-host: 1 page'
  "$kvjob" render "$1.bin" -o "$1.png" --json --state /dev/null > "$1.json"
  echo "$1: $(stat -c %s "$1.bin") bytes; read: $(zbarimg -q "$1.png" 2>/dev/null | sort | tr '\n' ' ')"
}
print std "$std"
python3 - std.json <<'PY'
import json, sys
drawn = json.load(open(sys.argv[1]))["drawn"]
print("text lines:", " | ".join("%s at y %d" % (r["text"].strip(), r["y"]) for r in drawn if r["what"] == "text"))
# The control font's "A": a pulse of 25 x 2 ms on, 250 x 2 ms off, after the QR code.
qr = [r["y"] for r in drawn if r["what"] == "qr"]
print("drawer pulse of the control font after the QR code:",
      any(r["what"] == "drawer" and r["on_ms"] == 50 and r["off_ms"] == 500 and qr and r["y"] > qr[0] for r in drawn))
PY
print gdi "$gdi"
text_bytes=$(speed speed_std "$std")
"$sheets" prefs "$printer" --machine machine --kit-files "$kit_files" --script "$here/graphics_prefs.txt" | tail -1
print graphics "$std"
raster_bytes=$(speed speed_raster "$std")
# The Windows builds' check: device fonts with the record's defaults give
# the bytes they must give too.
"$host" "$here/wine.page" --printer "$printer" --gpd "$std" -o wine.bin >/dev/null
cmp wine.bin "$here/fonts_job.bin" && echo "fonts job: same bytes"
# 9600 baud, 8 data bits, a start and a stop bit: 960 bytes a second.
python3 - "$text_bytes" "$raster_bytes" <<'PY'
import sys
text, raster = int(sys.argv[1]), int(sys.argv[2])
print("40-line receipt: printer fonts %d bytes (%.1f s at 9600 baud), raster %d bytes (%.1f s); 1/20 of raster or less: %s"
      % (text, text / 960, raster, raster / 960, text * 20 <= raster))
PY
