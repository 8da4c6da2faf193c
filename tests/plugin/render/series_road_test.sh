#!/bin/bash
# Every model of the family prints: for each one the Linux kitsetup installs
# its printer on a virtual machine (a parallel, serial or network port its
# series file offers), printjob-host prints a one-page PDF of text and a QR
# code with the data file the install put in the driver folder and the
# model's own rendering module, kvjob draws the bytes on the model's roll,
# and check_series.py holds the picture against the source page and the
# model's defaults. Pictures: WORK/<TOKEN>.png, and WORK/series.png with
# the five in a row.
# Each model's module also prints the shapes page with the model's defaults
# into the bytes the Windows modules are held to under Wine (series_jobs/).
# Usage: series_road_test.sh VMACHINE PRINTJOB_HOST KVJOB KIT_FOLDER GPD_FOLDER WORK [TOKEN...]
set -euo pipefail
vm=$1 host=$2 kvjob=$3 kit=$4 gpds=$5 work=$6
shift 6
here=$(cd "$(dirname "$0")" && pwd)
V=$vm
source "$here/../../setup/e2e/machine_helpers.sh"
rm -rf "$work" && mkdir -p "$work" && cd "$work"

# Machines with the kit's monitors offering their ports (kit_machine); one
# on 32-bit Windows, where the data files come from the W32 folder.
# token  radio list index port    machine       line length  events (the defaults: the drawer at the
#                                               dots  rows   start where the model has one, feed and
#                                                            cut at the end where it has a cutter;
#                                                            labels feed to the next label)
models='
VRTQ40 1019 1030 0 LPT1:   win7-x64-en  395 400 drawer,cut
VRTD45 1019 1030 1 KVCOM1: winxp-x86-en 576 400 drawer,cut
VRTT80 1020 1031 0 NET:    win7-x64-en  576 400 cut
VRTL50 1021 1032 0 LPT1:   win7-x64-en  384 239 label
VRTE20 1073 1074 0 KVCOM1: win7-x64-en  384 400 cut
'
only=" $* "
pictures=()
while read -r token radio list index port preset width rows events; do
  [ -n "$token" ] || continue
  [ -z "${*}" ] || [[ "$only" == *" $token "* ]] || continue
  mkdir "$token" && cd "$token"
  # The wizard: the licence, the series and model, Typical mode, the port.
  {
    echo "click 1057"; echo "click 1"; echo "click $radio"; echo "select $list $index"; echo "click 1"; echo "click 1"
    echo "select 1049 $port"
    [ "$port" = NET: ] && echo "type 1106 192.168.0.61"
    echo "click 1"; echo "answer OK"
  } > walk.txt
  kit_machine machine "$preset"
  "$kit/kitsetup" --machine machine --script walk.txt >install.txt 2>&1 || { cat install.txt; exit 1; }
  name=${token:0:3}-${token:3}
  printer=$("$vm" show machine printers | grep -o "$name([A-Z])[^ ]*" | head -n 1 || true)
  [ -n "$printer" ] || { echo "$token: no printer installed"; "$vm" show machine printers; exit 1; }
  # The data file of the driver record (the GDI or the STD flavour, as the
  # model's section for that Windows names it), in the driver folder.
  data=$("$vm" show machine drivers | grep -oiE "\\\\${token}[GS]\.GPD" | head -n 1 | tr -d '\\')
  gpd=$(find machine -ipath "*spool/drivers/*/3/$data" | head -n 1)
  [ -n "$data" ] && [ -n "$gpd" ] || { echo "$token: no data file of the driver in the machine's driver folder"; exit 1; }

  # The page: the model's name and a QR code, as wide as the model's line
  # (a label as long as the default label).
  qrencode -s 4 -m 2 -o qr.png "KIT-$token-0042"
  convert -size "${width}x${rows}" xc:white -font DejaVu-Sans -pointsize 24 -fill black \
    -annotate +8+30 "$name 0042" qr.png -geometry +8+50 -composite -depth 8 page.pgm
  python3 "$here/check_road.py" --pdf page.pdf page.pgm

  "$host" page.pdf --printer "$printer" --machine machine --gpd "$gpd" -o job.bin >/dev/null
  "$kvjob" render job.bin -o "$token.png" --json --model "$token" > job.json
  convert "$token.png" -colorspace gray -depth 8 job.pgm
  qr=$(zbarimg -q --raw "$token.png" 2>/dev/null || true)
  python3 "$here/check_series.py" "$token" job.bin job.json job.pgm page.pgm pages/page-1.pgm "$events" "$qr" \
    "KIT-$token-0042" "$printer"
  pictures+=("$work/$token/$token.png")
  bash "$here/make_pages.sh"
  "$host" page2.pgm --printer P --gpd "$gpds/${token}G.GPD" -o shapes.bin >/dev/null
  cmp shapes.bin "$here/series_jobs/$token.bin"
  cd ..
done <<<"$models"
[ ${#pictures[@]} -gt 0 ] || { echo "no model of: $*"; exit 1; }
convert "${pictures[@]}" -gravity north -background white -splice 12x0 +append +repage series.png
echo "every model printed: ${#pictures[@]}"
