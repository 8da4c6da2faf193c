#!/bin/bash
# The Download page end to end from the Linux host on a fresh machine: three
# logos (24-bit, 8-bit, one-bit) added, Transformation, one logo's method
# changed, Download all; Clear All Logos; a firmware download; Cancel. The
# jobs in the machine's queue, decoded by kvjob, and the temporary folder
# after Cancel.
set -eu
vmachine=$1 sheets=$2 kvjob=$3 kit=$4 script=$5 dir=$6 maker=$7
rm -rf "$dir" && mkdir -p "$dir/files"
machine=$dir/machine
"$vmachine" create "$machine" --preset win7-x64-en > /dev/null
"$vmachine" add-printer "$machine" P1 > /dev/null
python3 "$maker" "$dir/files"
for f in colour.bmp grey.bmp mono.bmp fw.jk; do "$vmachine" put "$machine" "$dir/files/$f" "C:\\logos\\$f" > /dev/null; done
"$sheets" props P1 --machine "$machine" --kit-files "$kit" --script "$script" > "$dir/sheet.out"
grep -E "all steps answered|open-file dialog|message box" "$dir/sheet.out"
"$vmachine" jobs "$machine"
for job in 1 2 3; do echo "decoded job $job:"; "$kvjob" decode "$machine/jobs/$job.bin"; done
cmp -s "$machine/jobs/3.bin" "$dir/files/fw.jk" && echo "firmware job is the file byte for byte"
echo "converted logos left: $("$vmachine" files "$machine" 'C:\' 2>/dev/null | grep -c 'Temp\.bmp' || true)"
