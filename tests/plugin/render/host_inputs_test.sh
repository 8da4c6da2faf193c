#!/bin/bash
# printjob-host's inputs, one case a line: what it is given, the exit status
# it must end with and the one line it must say (or, for a print, the file
# it must not make); then the driver log of a job whose log folder's parent
# does not exist yet.
# Usage: host_inputs_test.sh PRINTJOB_HOST VMACHINE WORK
set -euo pipefail
host=$1 vm=$2 work=$3
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work" && mkdir -p "$work" && cd "$work"
bash "$here/make_pages.sh"
python3 "$here/check_road.py" --pdf shapes.pdf page2.pgm
"$vm" create machine --preset win7-x64-en >/dev/null
python3 - "$here/settings.devmode" <<'PY'
# A record that claims the whole size and holds 100 bytes; one with the
# driver log on in C:\KVRODriverlog\P (a folder whose parent is missing).
import sys
full = open(sys.argv[1], "rb").read()
open("short.devmode", "wb").write(full[:100])
LOG_ENABLED, LOG_DIRECTORY, CAPACITY = 1463, 1464, 256
log = bytearray(full)
log[LOG_ENABLED] = 1
text = "C:\\KVRODriverlog\\P".encode("utf-16-le")
log[LOG_DIRECTORY:LOG_DIRECTORY + 2 * CAPACITY] = text + bytes(2 * CAPACITY - len(text))
open("log.devmode", "wb").write(bytes(log))
PY
cp shapes.pdf "a'\$(touch made-by-shell)'.pdf"
cp shapes.pdf ./-shapes.pdf

failed=0
check() {  # check NAME STATUS WANTED-LINE ARGS...
  local name=$1 want=$2 line=$3 status=0
  shift 3
  "$host" "$@" -o "$name.bin" >"$name.out" 2>"$name.err" || status=$?
  if [ "$status" -ne "$want" ]; then echo "$name: exit $status, wanted $want"; cat "$name.err"; failed=1; return; fi
  if [ -n "$line" ]; then
    if [ "$(wc -l <"$name.err")" -ne 1 ] || ! grep -qF -- "$line" "$name.err"; then
      echo "$name: wanted one line with \"$line\":"; cat "$name.err"; failed=1; return
    fi
  fi
  echo "$name: exit $status${line:+, \"$(cat "$name.err")\"}"
}
check short-record 1 "holds 100 bytes, fewer than its size 1976" page2.pgm --printer P --record short.devmode
check empty-record 1 "holds 0 bytes, not even its size field" page2.pgm --printer P --record /dev/null
check no-machine 1 "--machine no-such-machine: " page2.pgm --printer P --machine no-such-machine
check no-printer 1 "has no printer \"VRT-Q40(P)\"" page2.pgm --printer 'VRT-Q40(P)' --machine machine
check shell-name 0 "" "a'\$(touch made-by-shell)'.pdf" --printer P
check dash-name 0 "" -shapes.pdf --printer P
[ ! -e made-by-shell ] || { echo "the PDF's name ran as a command"; failed=1; }
cmp shell-name.bin dash-name.bin || failed=1

# The driver log in a folder whose parent is missing on the machine: the
# job creates the whole path and logs its page and itself.
"$vm" add-printer machine P >/dev/null
check logged 0 "" page2.pgm --printer P --machine machine --record log.devmode
log=$(find machine -ipath '*/KVRODriverlog/P/VRTQ40.log')
if [ -z "$log" ] || [ "$(grep -c $'\tP\tpage2.pgm\t1\t' "$log")" -ne 2 ]; then
  echo "no driver log of the page and the job: ${log:-none}"; failed=1
else
  echo "logged: $(wc -l <"$log") lines in C:\KVRODriverlog\P\VRTQ40.log"
fi
[ $failed -eq 0 ] && echo "printjob-host: every input as expected"
exit $failed
