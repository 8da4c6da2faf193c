#!/usr/bin/env bash
# The Linux host of the plug-in's sheets, run whole on fresh virtual machines
# with a printer: Cancel keeps what the last Apply stored, the universal
# driver's two pages come first so the plug-in relabels its own tabs, and a
# control's kill-focus reaches the page when the focus moves on.
# Usage: sheets_console_test.sh VMACHINE PRINTUI_SHEETS KIT_FILES SCRIPTS_DIR WORK_DIR
set -euo pipefail
vmachine=$1 sheets_program=$2 kit_files=$3 scripts=$4 dir=$5
rm -rf "$dir"
mkdir -p "$dir"
failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}
# The lines shown after the action line "> $2" (up to the next action) match $3.
after() {
  awk -v a="> $2" '$0 == a { on = 1; next } /^> / { on = 0 } on' "$1" | grep -qE -- "$3" || fail "after \"$2\": no line matching '$3'"
}
# The byte at offset $2 of printer P1's kept record on machine $1.
record_byte() { od -An -tu1 -j"$2" -N1 "$1/printui/P1.devmode" 2>/dev/null | tr -d ' '; }
new_machine() {
  "$vmachine" create "$1" --preset win7-x64-en >/dev/null
  "$vmachine" add-printer "$1" P1 >/dev/null
}
# One run of the host; its own failure is counted, and the checks go on.
sheets() {
  local out=$1
  shift
  "$sheets_program" "$@" >"$out" || fail "printui-sheets $* exited with status $?"
}
readonly kZoomPercent=1395 kZoomEnabled=1462 kWatermarkFontSize=1384

echo "== cancel keeps what the last Apply stored"
m=$dir/cancel
new_machine "$m"
sheets "$dir/cancel.out" prefs P1 --machine "$m" --kit-files "$kit_files" --sheets document,document --script "$scripts/cancel.txt"
sheets "$dir/reopen.out" prefs P1 --machine "$m" --script "$scripts/reopen.txt"
# The second sheet of the first run opens after the first one's Cancel.
awk '/^=== document sheet/ { n++ } n == 2' "$dir/cancel.out" >"$dir/second.out"
for out in second reopen; do
  grep -qE '^  checkbox  1505  \[x\] "Zoom Printing"$' "$dir/$out.out" || fail "$out: zoom is not on"
  grep -qE '^  combo     1516  "A4" ' "$dir/$out.out" || fail "$out: the paper is not A4"
done
[ "$(grep -c 'changes since the last Apply dropped' "$dir/cancel.out")" = 2 ] || fail "the dropped changes are not named twice"
[ "$(record_byte "$m" $kZoomEnabled)" = 1 ] || fail "the kept record lost the applied zoom"
[ "$(cat "$m/printui/P1.paper" 2>/dev/null)" = A4 ] || fail "the kept paper is not A4"
cat "$dir/cancel.out"

echo "== the universal driver's pages come first"
m=$dir/tabs
new_machine "$m"
sheets "$dir/tabs.out" prefs P1 --machine "$m" --kit-files "$kit_files" --script "$scripts/tabs.txt"
sheets "$dir/device.out" props P1 --machine "$m" --script "$scripts/reopen.txt"
grep -q '^  tabs: 0:Layout 1:Paper/Quality 2\*:Main 3:Water Mark 4:Operation 5:1D Code 6:2D Code 7:Version$' \
  "$dir/tabs.out" || fail "the document sheet does not open on Main after Layout and Paper/Quality"
after "$dir/tabs.out" "apply" '^  tabs: 0:Layout 1:Paper/Quality 2\*:主页 3:水印 4:操作 .*7:版本'
after "$dir/tabs.out" "tab 操作" '^  tabs: 0:Layout 1:Paper/Quality 2:主页 3:水印 4\*:操作 '
after "$dir/tabs.out" "tab 操作" '^  text      1106 '
grep -q '^  tabs: 0:General 1:Device Settings 2\*:工具 3:下载 4:字体 5:版本$' "$dir/device.out" ||
  fail "the device sheet does not open on Utility after General and Device Settings"
cat "$dir/tabs.out" "$dir/device.out"

echo "== the kill-focus reaches the page"
m=$dir/focus
new_machine "$m"
sheets "$dir/focus.out" prefs P1 --machine "$m" --kit-files "$kit_files" --script "$scripts/focus.txt"
after "$dir/focus.out" "key 1507 tab" '^  edit      1507  "10" '
after "$dir/focus.out" "click 1521" '^  edit      1507  "100" '
after "$dir/focus.out" "focus 1516" '^  edit      1507  "10" '
after "$dir/focus.out" "apply" '^  tabs: [^(]*$'
after "$dir/focus.out" "set 1508 60" '^  tabs: .*\(Apply available\)$'
after "$dir/focus.out" "focus 1020" '^  edit      1052  "8" '
after "$dir/focus.out" "tab Main" '^  edit      1507  "10" '
[ "$(record_byte "$m" $kZoomPercent)" = 10 ] || fail "the scale left by a tab switch is not stored as 10"
[ "$(record_byte "$m" $kWatermarkFontSize)" = 8 ] || fail "the font size is not stored as 8"
cat "$dir/focus.out"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all sheet checks passed"
