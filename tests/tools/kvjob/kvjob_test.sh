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

# A folder where a file belongs ends with one line and 1.
for args in "decode $dir" "render $dir -o $dir/x.png" "render $dir/clear.bin -o $dir/x.png --state $dir"; do
  rc=0 && "$kvjob" $args 2> "$dir/err" || rc=$?
  echo "folder: $rc, $(wc -l < "$dir/err") line"
done
# Two tills side by side: one connects and waits, one sends a job and
# closes; then the first sends a job and keeps its connection open (the
# job ends after the idle second). A render folder that is missing is
# refused before listening.
"$kvjob" listen 127.0.0.1:0 --count 2 --idle 1 --timeout 20 > "$dir/two.out" &
pid=$!
for _ in $(seq 100); do grep -q listening "$dir/two.out" && break; sleep 0.1; done
port=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$dir/two.out")
exec 4<>"/dev/tcp/127.0.0.1/$port" 5<>"/dev/tcp/127.0.0.1/$port"
printf 'B\n' >&5 && exec 5>&-
sleep 0.2 && printf 'AA\n' >&4
wait "$pid"
exec 4>&-
grep '^job' "$dir/two.out"
rc=0 && "$kvjob" listen 127.0.0.1:0 --render "$dir/none" > "$dir/none.out" 2>&1 || rc=$?
echo "no folder: refused $rc, $(grep -c listening "$dir/none.out") listening"
# A till that sends more than a job holds (4.3 MB on one connection): the job
# ends at the most a job holds, kept and noted as cut, the connection is
# closed, and the next till's job is served.
mkdir -p "$dir/big"
"$kvjob" listen 127.0.0.1:0 --count 2 --timeout 30 --keep "$dir/big" > "$dir/big.out" &
pid=$!
for _ in $(seq 100); do grep -q listening "$dir/big.out" && break; sleep 0.1; done
port=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$dir/big.out")
python3 - "$port" <<'PY'
import socket, sys
port = int(sys.argv[1])
till = socket.create_connection(("127.0.0.1", port))
till.settimeout(20)
closed = False
try:
    till.sendall((b"A" * 47 + b"\n") * 90000)
    closed = till.recv(1) == b""
except (ConnectionResetError, BrokenPipeError):
    closed = True
print("big job: connection closed by the printer" if closed else "big job: connection left open")
other = socket.create_connection(("127.0.0.1", port))
other.sendall(b"B\n")
other.close()
PY
wait "$pid"
grep '^job' "$dir/big.out"
echo "kept: $(stat -c %s "$dir/big/job-1.bin") and $(stat -c %s "$dir/big/job-2.bin")"
