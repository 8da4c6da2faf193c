#!/bin/bash
# kvjob end to end: decode a clear-logos job from a file, then play the
# loopback test printer for one self-test job sent over TCP, keeping its
# bytes; a printer nobody sends to gives up after its time with exit 1.
set -eu
kvjob=$1 dir=$2
rm -rf "$dir" && mkdir -p "$dir"
printf '\033c;\001\034q\000\000\n\033c;\000' > "$dir/clear.bin"
echo -n "decoded: " && "$kvjob" decode "$dir/clear.bin"

"$kvjob" listen 127.0.0.1:0 --count 1 --timeout 20 --keep "$dir" > "$dir/listen.out" &
pid=$!
for _ in $(seq 100); do grep -q listening "$dir/listen.out" && break; sleep 0.1; done
port=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$dir/listen.out")
exec 3<>"/dev/tcp/127.0.0.1/$port"
printf '\033c;\001\035(A\002\000\000\002\033c;\000' >&3
exec 3>&-
wait "$pid"
cat "$dir/listen.out"
echo "kept: $(stat -c %s "$dir/job-1.bin")"
if "$kvjob" listen 127.0.0.1:0 --timeout 1 > /dev/null 2>&1; then echo "no sender: accepted"; else echo "no sender: refused $?"; fi
