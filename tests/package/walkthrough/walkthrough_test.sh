#!/usr/bin/env bash
# walkthrough_test.sh SOURCE BUILD WORK
# Steps 1 to 5 of the README's walkthrough with the commands written there,
# on a fresh machine below a path with a space: the linux flavour packaged,
# a machine with a snapshot, the receipt model installed on LPT1:, the
# self-test printed from the device sheet (15 bytes in three writes), the
# uninstaller run (the restart question answered No, then Exit), and the
# diff against the snapshot without the printer, its driver or the kit's
# monitors and processor, and nothing the leftover list does not name.
set -uo pipefail
source=$1 build=$2 work="$3/walk through"
rm -rf "$3"; mkdir -p "$work"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
V=$build/tools/vmachine/vmachine
kit="$work/package/linux"
m="$work/m"

python3 "$source/package/make_kit.py" --linux-build "$build" --out "$work/package" linux >/dev/null || fail "make_kit"
"$V" create "$m" --preset win7-x64-en >/dev/null || fail "create"
"$V" put "$m" "$kit/KvUsbInt.dll" 'C:\Windows\system32\KvUsbInt.dll' >/dev/null || fail "put KvUsbInt.dll"
"$V" snapshot "$m" "$m-before" >/dev/null || fail "snapshot"

here=$(cd "$(dirname "$0")" && pwd)
"$kit/kitsetup" --machine "$m" --script "$here/install_lpt.txt" >"$work/setup.txt" 2>&1 || fail "kitsetup exit $?"
"$V" show "$m" printers | grep -qF 'VRT-Q40(P) (default)  port LPT1:  driver VRT-Q40' || fail "no VRT-Q40(P) on LPT1:"

"$build/plugin/host/printui-sheets" props 'VRT-Q40(P)' --machine "$m" --script "$here/self_test.txt" \
  >"$work/sheets.txt" 2>&1 || fail "printui-sheets exit $?"
"$V" jobs "$m" 1 >"$work/job.txt" 2>&1
grep -qF "job #1 'SELFTEST' on VRT-Q40(P) (port LPT1:), printed, 15 bytes in pieces [4,7,4]" "$work/job.txt" ||
  fail "self-test job: $(head -1 "$work/job.txt")"

# The restart declined: 3010, of which Linux keeps 194.
(cd "$work" && "$kit/Uninstall" --machine "$m" --kit "$kit" --script "$here/uninstall.txt") >"$work/uninstall.txt" 2>&1
status=$?
[ "$status" = $((3010 % 256)) ] || fail "Uninstall exit $status (3010 expected)"
"$V" diff "$m-before" "$m" >"$work/diff.txt"
[ $? = 4 ] || fail "diff: the machine is unchanged after a walk"
for gone in 'spooler/printers/' 'spooler/drivers/' 'spooler/monitors/' 'spooler/processors/'; do
  grep -F "$gone" "$work/diff.txt" && fail "left after the uninstall: $gone"
done
"$V" diff "$m-before" "$m" --ignore "$source/tests/setup/e2e/scenario/uninstall_leftovers.txt" >"$work/unexpected.txt" 2>&1 ||
  fail "left after the uninstall and not listed: $(grep -v '^vmachine:' "$work/unexpected.txt" | head -5)"
grep -qF '> click 2' "$work/uninstall.txt" && grep -qF '=== dialog 129 closed: Cancel (2)' "$work/uninstall.txt" ||
  fail "the first click 2 did not answer the restart question"
for output in setup sheets uninstall; do
  grep -q '^!' "$work/$output.txt" && fail "$output: refused actions: $(grep '^!' "$work/$output.txt" | head -2)"
done
if [ $failures -ne 0 ]; then
  echo "--- diff"; head -40 "$work/diff.txt"
  exit 1
fi
echo "walkthrough: all steps passed"
