#!/usr/bin/env bash
# put_diff_test.sh VMACHINE WORK
# put of a whole folder (names with spaces, nested and empty folders), a
# snapshot, and diff between the two in text and JSON: no difference after
# the snapshot, the put files afterwards, exit 4 when they differ; a folder
# that cannot be read changes nothing.
set -euo pipefail
vm=$1 work=$2
rm -rf "$work"; mkdir -p "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }
m="$work/machine one" s="$work/snap shot"
"$vm" create "$m" --preset win7-x86-zh-cn > /dev/null
"$vm" snapshot "$m" "$s" > /dev/null
[ "$("$vm" diff "$m" "$s")" = "no differences" ] || fail "a fresh snapshot differs"

kit="$work/a kit"
mkdir -p "$kit/DRVCONFIG" "$kit/empty folder" "$kit/W32"
printf '[DEVICENAME]\r\n' > "$kit/DRVCONFIG/setup.ini"
printf 'MZ' > "$kit/W32/VRTQ40UI.DLL"
"$vm" put "$m" "$kit" 'C:\kit folder\' || fail "put of a folder"
"$vm" files "$m" 'C:\kit folder' | grep -q "setup.ini" || fail "the put file is not on the machine"

set +e
"$vm" diff "$s" "$m" > "$work/diff.txt"; rc=$?
"$vm" diff "$s" "$m" --json > "$work/diff.json"
set -e
[ $rc = 4 ] || fail "diff exit $rc for differing machines"
cat > "$work/expected.txt" <<'TXT'
+ folder C:\kit folder
+ folder C:\kit folder\DRVCONFIG
+ file C:\kit folder\DRVCONFIG\setup.ini = 14 bytes {"attributes":32}
+ folder C:\kit folder\empty folder
+ folder C:\kit folder\W32
+ file C:\kit folder\W32\VRTQ40UI.DLL = 2 bytes {"attributes":32}
TXT
diff -u "$work/expected.txt" "$work/diff.txt" || fail "diff text"
python3 - "$work/diff.json" <<'PY' || fail "diff --json"
import json, sys
d = json.load(open(sys.argv[1]))
paths = [x["path"] for x in d["differences"] if x["change"] == "added"]
assert "C:\\kit folder\\W32\\VRTQ40UI.DLL" in paths, paths
assert len(d["differences"]) == 6, d
assert any(x["path"] == "clock" for x in d["left_out"]), d["left_out"]
PY

# A source that cannot be read: refused, the machine unchanged.
cp -r "$m" "$work/before"
set +e; "$vm" put "$m" "$work/no such folder" 'C:\x' 2> "$work/err"; rc=$?; set -e
[ $rc = 3 ] || fail "put of a missing source: exit $rc"
grep -q "no such folder" "$work/err" || fail "the message does not name the source"
"$vm" diff "$work/before" "$m" > /dev/null || fail "a refused put changed the machine"
echo "vmachine put/snapshot/diff: all checks passed"
