#!/bin/bash
# The Windows builds print the same bytes: the test document with the
# settings record through printjob-host.exe and VRTQ40R.dll under Wine,
# compared with the Linux build's bytes (settings_job.bin, which the road
# test checks against the Linux module).
# Usage: wine_bytes_test.sh WINE_EXEC PREFIX PRINTJOB_HOST_EXE VRTQ40R_DLL GPD WORK
set -euo pipefail
wine_exec=$1 prefix=$2 host=$3 plugin=$4 gpd=$5 work=$6
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work" && mkdir -p "$work" && cd "$work"
bash "$here/make_pages.sh"
status=0
"$wine_exec" "$prefix" "$host" page1.pgm page2.pgm --printer 'VRT-Q40(P)' --record "$here/settings.devmode" \
  --gpd "$gpd" --plugin "$plugin" -o job.bin || status=$?
[ $status -eq 77 ] && exit 77
[ $status -eq 0 ] || { echo "printjob-host.exe failed: $status"; exit 1; }
cmp job.bin "$here/settings_job.bin" && echo "settings job under Wine: same bytes"
