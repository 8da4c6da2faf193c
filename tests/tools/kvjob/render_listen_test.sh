#!/bin/bash
# kvjob render and listen --render end to end. A logo job stores a logo in
# the state file, and a later render prints it from there; a listening
# printer given the same two jobs back to back draws one picture each, the
# second as render drew it (the logo kept from the first job). Then the
# README's three pictures: the self-test, the Code93 sample and a QR code
# with the logo above it, into <build>/pictures, each the same bytes as the
# copy the README shows (tools/kvjob/pictures: copy them there when a change
# of the printer's drawing changes them).
set -eu
kvjob=$1 jobs=$2 build=$3 shown=$4
dir=$build/render-listen pictures=$build/pictures
rm -rf "$dir" "$pictures" && mkdir -p "$dir/drawn" "$pictures"

"$kvjob" render "$jobs/logo.bin" -o "$dir/logo.png" --state "$dir/memory.bin"
echo "state after the logo job: $(od -An -tx1 -N3 "$dir/memory.bin" | tr 'a-f' 'A-F' | sed 's/^ *//') ..."
printf '\034p\001\000' > "$dir/print_logo.bin"
width=$("$kvjob" render "$dir/print_logo.bin" -o "$dir/print_logo.png" --state "$dir/memory.bin" --json |
        python3 -c 'import json, sys; print(*[d["width"] for d in json.load(sys.stdin)["drawn"] if d["what"] == "logo"])')
echo "logo printed from the state file: ${width:-0} dots"

"$kvjob" listen 127.0.0.1:0 --count 2 --timeout 30 --render "$dir/drawn" > "$dir/listen.out" &
pid=$!
for _ in $(seq 100); do grep -q listening "$dir/listen.out" && break; sleep 0.1; done
port=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$dir/listen.out")
for job in logo qr_till; do
  exec 3<>"/dev/tcp/127.0.0.1/$port"
  cat "$jobs/$job.bin" >&3
  exec 3>&-
done
wait "$pid"
echo "listen drew $(ls "$dir/drawn" | grep -c -- '-job-[12]\.png$') pictures"
"$kvjob" render "$jobs/qr_till.bin" -o "$dir/qr_till.png" --state "$dir/memory.bin"
if cmp -s "$dir/qr_till.png" "$dir/drawn/$(ls "$dir/drawn" | grep -- '-job-2\.png$')"; then
  echo "second picture as render drew it"
else
  echo "second picture differs"
fi

"$kvjob" render "$jobs/selftest.bin" -o "$pictures/selftest.png"
"$kvjob" render "$jobs/code93.bin" -o "$pictures/code93.png"
"$kvjob" render "$jobs/logo.bin" -o "$dir/stored.png" --state "$pictures/memory.bin"
"$kvjob" render "$jobs/qr_till.bin" -o "$pictures/qr_logo.png" --state "$pictures/memory.bin"
drawn=()
for f in selftest.png code93.png qr_logo.png; do cmp -s "$pictures/$f" "$shown/$f" && drawn+=("$f"); done
echo "pictures as the README shows them: ${drawn[*]}"
