#!/bin/bash
# The virtual printer checked by a barcode reader it did not write: the 1D
# and 2D Code pages print every symbology and every QR error level on a
# fresh machine (through the Linux host, as a user would), kvjob renders
# each job the machine's queue kept, and zbarimg reads each picture back.
# Every line "job N: expected -> read" must show the data typed on the page.
# Then the port is mapped to `kvjob listen --render`, and the same prints
# arrive back to back as pictures.
# All nine types the 1D page offers are ones zbarimg reads (UPC-A and UPC-E
# both come back as the UPC-A number typed; Code128's leading {B or {C picks
# the code set and is not data). The QR test print in the page's default
# model 1 is refused by the virtual printer with a note (nothing to read).
set -eu
vmachine=$1 sheets=$2 kvjob=$3 kit=$4 script=$5 dir=$6
rm -rf "$dir" && mkdir -p "$dir"
machine=$dir/machine
"$vmachine" create "$machine" --preset win7-x64-en > /dev/null
"$vmachine" add-printer "$machine" P1 > /dev/null
"$sheets" prefs P1 --machine "$machine" --kit-files "$kit" --script "$script" > "$dir/sheet.out"
grep -E "message box|not answered" "$dir/sheet.out" || true

expected=(
  "UPC-A:036000291452" "UPC-A:012000003455" "EAN-8:96385074" "EAN-13:4006381333931"
  "CODE-39:KIT-39 \$%" "I2/5:12345678" "Codabar:A40156B" "CODE-93:KIT-93 \$/+%."
  "CODE-128:Kit-128" "CODE-128:123456" ""
  "QR-Code:VRT-Q40 QR level L" "QR-Code:VRT-Q40 QR level M" "QR-Code:VRT-Q40 QR level H"
  "QR-Code:VRT-Q40 QR level Q"
)
levels=(L M H Q)
matched=0
for i in "${!expected[@]}"; do
  job=$((i + 1))
  "$kvjob" render "$machine/jobs/$job.bin" -o "$dir/job-$job.png" --json > "$dir/job-$job.json"
  read=$(zbarimg -q -Supca.enable "$dir/job-$job.png" 2> /dev/null | tr '\n' '|' | sed 's/|$//')
  echo "job $job: ${expected[$i]} -> $read"
  if [ "$read" = "${expected[$i]}" ]; then matched=$((matched + 1)); else echo "MISMATCH in job $job"; fi
  if [ "$i" = 10 ]; then  # the page's default, model 1: refused with a note, not drawn as model 2
    grep -q '"reason": "QR model 1 not drawn' "$dir/job-$job.json" || echo "MISMATCH in job $job: model 1 not refused"
  elif [ "$i" -gt 10 ]; then
    letter=$(sed -n 's/.*"error_correction": "\(.\)".*/\1/p' "$dir/job-$job.json")
    echo "job $job: QR error correction $letter"
    [ "$letter" = "${levels[$((i - 11))]}" ] || echo "MISMATCH in job $job error correction"
  fi
done
echo "jobs in the queue: $(ls "$machine/jobs" | grep -c '\.bin$'), read back as typed: $matched"

# The same prints with the printer's port mapped to a listening virtual
# printer: one picture per job, back to back, each as render drew it.
mkdir -p "$dir/drawn"
"$kvjob" listen 127.0.0.1:0 --count 15 --timeout 60 --render "$dir/drawn" > "$dir/listen.out" &
pid=$!
for _ in $(seq 100); do grep -q listening "$dir/listen.out" && break; sleep 0.1; done
port=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$dir/listen.out")
"$vmachine" map-port "$machine" LPT1: "tcp:127.0.0.1:$port" > /dev/null
"$sheets" prefs P1 --machine "$machine" --script "$script" > "$dir/tcp.out"
wait "$pid"
same=0
for i in "${!expected[@]}"; do
  job=$((i + 1))
  cmp -s "$dir/job-$job.png" "$dir/drawn/$(ls "$dir/drawn" | grep -- "-job-$job\.png$")" && same=$((same + 1))
done
echo "listen drew $(ls "$dir/drawn" | grep -c '\.png$') pictures, $same as render drew them"
