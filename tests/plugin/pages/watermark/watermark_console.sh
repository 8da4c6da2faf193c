#!/usr/bin/env bash
# Both watermark kinds in the Linux host's console on a fresh machine with a
# printer: after each run, the picture in the user's watermark folder (where
# the spooler reads it) and the watermark mode (offset 1250) and graphics flag
# (998) of the kept record.
# Usage: watermark_console.sh VMACHINE PRINTUI_SHEETS KIT_FILES SCRIPTS_DIR SEED_BMP WORK_DIR
set -euo pipefail
vmachine=$1 sheets=$2 kit_files=$3 scripts=$4 seed=$5 dir=$6
rm -rf "$dir"
"$vmachine" create "$dir" --preset win7-x64-en >/dev/null
"$vmachine" add-printer "$dir" P1 >/dev/null
record() { echo "mode $(od -An -tu1 -j1250 -N1 "$dir/printui/P1.devmode" | tr -d ' ') graphics $(od -An -tu1 -j998 -N1 "$dir/printui/P1.devmode" | tr -d ' ')"; }

echo "== text"
"$sheets" prefs P1 --machine "$dir" --kit-files "$kit_files" --script "$scripts/text_watermark.txt"
"$vmachine" files "$dir" 'C:\ProgramData\PrinterDriverKit\Watermark\User'
record

echo "== image"
"$vmachine" put "$dir" "$seed" 'C:\pics\gray.bmp' >/dev/null
"$sheets" prefs P1 --machine "$dir" --kit-files "$kit_files" --script "$scripts/image_watermark.txt"
"$vmachine" files "$dir" 'C:\ProgramData\PrinterDriverKit\Watermark\User'
record
echo "picture: $(od -An -tu1 -j28 -N1 "$dir/drive_c/ProgramData/PrinterDriverKit/Watermark/User/P11.bmp" 2>/dev/null | tr -d ' ') bits"
