#!/bin/bash
# Both barcode test prints from the Linux host on a fresh machine: first to
# the printer's queue (the jobs the machine keeps, decoded by kvjob), then
# with the printer's port mapped to the loopback test printer, which must
# receive the same bytes.
set -eu
vmachine=$1 sheets=$2 kvjob=$3 kit=$4 script=$5 dir=$6
rm -rf "$dir" && mkdir -p "$dir"
machine=$dir/machine
"$vmachine" create "$machine" --preset win7-x64-en > /dev/null
"$vmachine" add-printer "$machine" P1 > /dev/null
"$sheets" prefs P1 --machine "$machine" --kit-files "$kit" --script "$script" > "$dir/queue.out"
"$vmachine" jobs "$machine"
for job in 1 2; do echo "decoded: $("$kvjob" decode "$machine/jobs/$job.bin" | tr '\n' '|')"; done

"$kvjob" listen 127.0.0.1:0 --count 2 --timeout 30 --keep "$dir" > "$dir/listen.out" &
pid=$!
for _ in $(seq 100); do grep -q listening "$dir/listen.out" && break; sleep 0.1; done
port=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$dir/listen.out")
"$vmachine" map-port "$machine" LPT1: "tcp:127.0.0.1:$port"
"$sheets" prefs P1 --machine "$machine" --script "$script" > "$dir/tcp.out"
wait "$pid"
for job in 1 2; do
  if cmp -s "$machine/jobs/$job.bin" "$dir/job-$job.bin"; then echo "printer got job $job unchanged"; else echo "printer got job $job changed"; fi
done
