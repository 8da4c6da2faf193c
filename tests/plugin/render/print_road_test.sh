#!/bin/bash
# The whole road of a document: the printer installed on a virtual machine
# by the Linux kitsetup (on LPT1:, as the kit's walk does), End of
# Document set on the Operation page (partial cut, drawer "Waiting 10ms",
# logo 1 centred) and a text watermark on the Water Mark page through the
# console sheet, a two-page receipt (a PDF) printed through the rendering plug-in
# by printjob-host with the data file the install put in the driver folder,
# the bytes drawn by kvjob render and checked.
# Usage: print_road_test.sh VMACHINE PRINTUI_SHEETS PRINTJOB_HOST KVJOB KIT_PLUGIN_FILES KIT_FOLDER WORK [PLUGIN]
set -euo pipefail
vm=$1 sheets=$2 host=$3 kvjob=$4 kit_files=$5 kit=$6 work=$7 plugin=${8:-}
here=$(cd "$(dirname "$0")" && pwd)
printer='VRT-Q40(P)'
rm -rf "$work" && mkdir -p "$work" && cd "$work"
"$vm" create machine --preset win7-x64-en >/dev/null
"$kit/kitsetup" --machine machine --script "$here/../../setup/e2e/walk_lpt.txt" >install.txt 2>&1 ||
  { cat install.txt; exit 1; }
"$vm" show machine printers | grep -F "$printer"
gpd=$(find machine -ipath '*spool/drivers/x64/3/VRTQ40G.GPD' | head -n 1)
[ -n "$gpd" ] || { echo "no VRTQ40G.GPD in the machine's driver folder"; exit 1; }
"$sheets" prefs "$printer" --machine machine --kit-files "$kit_files" --script "$here/road_prefs.txt" | tail -1

bash "$here/make_pages.sh"
python3 "$here/check_road.py" --pdf receipt.pdf page1.pgm page2.pgm
# The printer's logo 1 (a framed 64 x 32 dot pattern), as its memory.
python3 "$here/check_road.py" --logo logo.bin

# The same document with the record's defaults first (defaults.png), then
# with the settings of the sheet (road.png).
"$host" receipt.pdf --printer "$printer" --gpd "$gpd" -o defaults.bin ${plugin:+--plugin "$plugin"} >/dev/null
"$kvjob" render defaults.bin -o defaults.png --state logo.bin >/dev/null
"$host" receipt.pdf --printer "$printer" --machine machine --gpd "$gpd" -o job.bin ${plugin:+--plugin "$plugin"}
"$kvjob" render job.bin -o road.png --json --state logo.bin > road.json
convert road.png -colorspace gray -depth 8 road.pgm
python3 "$here/check_road.py" road.json road.pgm page1.pgm page2.pgm
echo "qr: $(zbarimg -q --raw road.png 2>/dev/null)"
# The receipt's QR code under the default watermark, centred and then tiled:
# the watermark prints lighter than the code, which still reads.
for layout in default tiled; do
  "$sheets" prefs "$printer" --machine machine --kit-files "$kit_files" --script "$here/${layout}_watermark_prefs.txt" | tail -1 >/dev/null
  "$host" receipt.pdf --printer "$printer" --machine machine --gpd "$gpd" -o "$layout.bin" ${plugin:+--plugin "$plugin"} >/dev/null
  "$kvjob" render "$layout.bin" -o "$layout-watermark.png" --state logo.bin >/dev/null
  qr=$(zbarimg -q --raw "$layout-watermark.png" 2>/dev/null || true)
  echo "qr under the $layout watermark: $qr"
  [ "$qr" = KIT-RECEIPT-0042 ] || { echo "the QR code does not read under the $layout watermark"; exit 1; }
done
# The record of the Windows builds' check (settings.devmode: these settings,
# turned by 180 degrees, without the machine's watermark picture) gives the
# bytes they must give too.
"$host" page1.pgm page2.pgm --printer "$printer" --record "$here/settings.devmode" -o settings.bin ${plugin:+--plugin "$plugin"} >/dev/null
cmp settings.bin "$here/settings_job.bin" && echo "settings job: same bytes"
