#!/usr/bin/env bash
# The Linux kitsetup on Windows XP with a kit whose setup.ini names no
# default model: Next through the pages without choosing a series reaches
# the port page, and Install shows "Please select a printer model." while
# the wizard goes on until Cancel.
# Usage: kitsetup_no_series_test.sh VMACHINE KIT_FOLDER SCRIPT_FOLDER
set -u
vmachine=$1 kit=$2 scripts=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cp -r "$kit" "$work/kit"
sed -i '/^DEFAULTNAME=/d' "$work/kit/DRVCONFIG/setup.ini"
if grep -q '^DEFAULTNAME=' "$work/kit/DRVCONFIG/setup.ini"; then echo "FAIL: DEFAULTNAME still there"; exit 1; fi

"$vmachine" create "$work/xp" --preset winxp-x86-en >/dev/null || exit 1
"$work/kit/kitsetup" --machine "$work/xp" --script "$scripts/walk_no_series.txt" >"$work/xp.txt" 2>&1
status=$?
failures=0
expect() {
  if ! grep -qF -- "$1" "$work/xp.txt"; then echo "FAIL: missing: $1"; failures=$((failures + 1)); fi
}
expect 'Please select a printer model.'
[ "$status" -eq 2 ] || { echo "FAIL: exit status $status (nothing installed: 2)"; failures=$((failures + 1)); }
if grep -q 'install request:' "$work/xp.txt"; then echo "FAIL: an install request was made"; failures=$((failures + 1)); fi
if grep -q '^!' "$work/xp.txt"; then echo "FAIL: refused actions"; grep '^!' "$work/xp.txt"; failures=$((failures + 1)); fi
if [ "$failures" -ne 0 ]; then echo "--- transcript"; cat "$work/xp.txt"; exit 1; fi
echo "no-series walk passed"
