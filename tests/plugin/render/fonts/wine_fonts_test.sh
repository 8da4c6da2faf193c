#!/bin/bash
# The Windows builds print the printer's fonts with the same bytes: a page
# description in device fonts through printjob-host.exe and VRTQ40R.dll
# under Wine, with the STD data file, against the Linux module's bytes
# (fonts_job.bin, which the fonts' road checks against the Linux module).
# Usage: wine_fonts_test.sh WINE_EXEC PREFIX PRINTJOB_HOST_EXE VRTQ40R_DLL GPD METRICS WORK
set -euo pipefail
wine_exec=$1 prefix=$2 host=$3 plugin=$4 gpd=$5 metrics=$6 work=$7
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work" && mkdir -p "$work" && cd "$work"
cp "$here/wine.page" .
status=0
"$wine_exec" "$prefix" "$host" wine.page --printer 'VRT-Q40(P)' --gpd "$gpd" --fonts "$metrics" --plugin "$plugin" \
  -o job.bin || status=$?
[ $status -eq 77 ] && exit 77
[ $status -eq 0 ] || { echo "printjob-host.exe failed: $status"; exit 1; }
cmp job.bin "$here/fonts_job.bin" && echo "fonts job under Wine: same bytes"
