#!/bin/bash
# The whole road of a document: a printer on a virtual machine, End of
# Document set on the Operation page (partial cut, drawer "Waiting 10ms",
# logo 1 centred) and a text watermark on the Water Mark page through the
# console sheet, a two-page receipt printed through the rendering plug-in
# by printjob-host, the bytes drawn by kvjob render and checked.
# Usage: print_road_test.sh VMACHINE PRINTUI_SHEETS PRINTJOB_HOST KVJOB KIT_PLUGIN_FILES WORK [PLUGIN]
set -euo pipefail
vm=$1 sheets=$2 host=$3 kvjob=$4 kit_files=$5 work=$6 plugin=${7:-}
here=$(cd "$(dirname "$0")" && pwd)
printer='VRT-Q40(P)'
rm -rf "$work" && mkdir -p "$work" && cd "$work"
"$vm" create machine --preset win7-x64-en >/dev/null
"$vm" add-printer machine "$printer" >/dev/null
"$sheets" prefs "$printer" --machine machine --kit-files "$kit_files" --script "$here/road_prefs.txt" | tail -1

# The document: a receipt with a QR code, and a page of shapes.
qrencode -s 6 -m 2 -o qr.png "KIT-RECEIPT-0042"
convert -size 395x900 xc:white -font DejaVu-Sans -pointsize 28 -fill black -annotate +10+40 'Receipt 0042' \
  -annotate +10+90 'Coffee   3.50' qr.png -geometry +10+150 -composite -depth 8 page1.pgm
convert -size 395x600 xc:white -fill black -draw 'rectangle 20,20 370,80' -draw 'circle 197,300 197,380' \
  -depth 8 page2.pgm
# The printer's logo 1 (a framed 64 x 32 dot pattern), as its memory.
python3 "$here/check_road.py" --logo logo.bin

# The same document with the record's defaults first (defaults.png), then
# with the settings of the sheet (road.png).
"$host" page1.pgm page2.pgm --printer "$printer" -o defaults.bin ${plugin:+--plugin "$plugin"} >/dev/null
"$kvjob" render defaults.bin -o defaults.png --state logo.bin >/dev/null
"$host" page1.pgm page2.pgm --printer "$printer" --machine machine -o job.bin ${plugin:+--plugin "$plugin"}
"$kvjob" render job.bin -o road.png --json --state logo.bin > road.json
convert road.png -colorspace gray -depth 8 road.pgm
python3 "$here/check_road.py" road.json road.pgm page1.pgm page2.pgm
echo "qr: $(zbarimg -q --raw road.png 2>/dev/null)"
