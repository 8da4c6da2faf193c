#!/bin/bash
# The Windows builds print the same bytes: printjob-host.exe under Wine with
# each model's own module (VRTQ40R.dll, VRTD45R.dll, ...) prints the shapes
# page with the model's data file and its defaults, compared with the Linux
# modules' bytes (series_jobs/<TOKEN>.bin, which the series road checks
# against the Linux modules); and the Q40 the test document with the
# settings record (settings_job.bin, which the road test checks).
# Usage: wine_bytes_test.sh WINE_EXEC PREFIX PRINTJOB_HOST_EXE MODULE_FOLDER GPD_FOLDER WORK
set -euo pipefail
wine_exec=$1 prefix=$2 host=$3 modules=$4 gpds=$5 work=$6
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work" && mkdir -p "$work" && cd "$work"
bash "$here/make_pages.sh"
run() {  # run ARGS...: printjob-host.exe under Wine; 77 (no Wine for this bitness) skips the test
  local status=0
  "$wine_exec" "$prefix" "$host" "$@" >/dev/null || status=$?
  [ $status -eq 77 ] && exit 77
  [ $status -eq 0 ] || { echo "printjob-host.exe $*: exit $status"; exit 1; }
}
for token in VRTQ40 VRTD45 VRTT80 VRTL50 VRTE20; do
  run page2.pgm --printer P --gpd "$gpds/${token}G.GPD" --plugin "$modules/${token}R.dll" -o "$token.bin"
  cmp "$token.bin" "$here/series_jobs/$token.bin"
  echo "$token under Wine: same bytes"
done
run page1.pgm page2.pgm --printer 'VRT-Q40(P)' --record "$here/settings.devmode" \
  --gpd "$gpds/VRTQ40G.GPD" --plugin "$modules/VRTQ40R.dll" -o job.bin
cmp job.bin "$here/settings_job.bin" && echo "settings job under Wine: same bytes"
