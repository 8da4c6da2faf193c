#!/usr/bin/env bash
# msi_wine_test.sh MSI WINE_EXEC STAND_IN_UI DRIVER_STORE_STAND_IN WORK
# The x64 MSI package as shipped, under Wine, in a fresh prefix with the
# driver store's universal-driver files: without ACCEPT_LICENCE=1 msiexec
# refuses and installs nothing; with it the kit folder goes under Program
# Files and the deferred custom action runs kitsetup.exe --quiet with the
# package's properties. msiexec /x then removes the recorded printers and the
# kit folder.
#
# Named gap (as for the x64 zip's walk): Wine 8's AddPrinter cannot open the
# printer it has just written (OpenPrinter fails with 1801), so the quiet
# install ends with the wizard's text "The printer could not be created."
# after the driver is installed; the custom action fails and msiexec rolls
# the package back, which leaves nothing for /x. The test accepts exactly
# that ending, or a finished install followed by a clean removal.
# Linux keeps the low 8 bits of msiexec's status.
set -uo pipefail
msi=$1 wine_exec=$2 stand_in_ui=$3 driver_store=$4 work=$5
prefix="$work/wineprefix"
rm -rf "$work"; mkdir -p "$work"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
[ -f "$msi" ] || { echo "FAIL: no package $msi (package/make_kit.py writes it)"; exit 1; }
bash "$wine_exec" "$prefix" cmd /c exit >/dev/null 2>&1
[ -f "$prefix/system.reg" ] || { echo "FAIL: no Wine prefix"; exit 1; }
bash "$driver_store" "$prefix" "$stand_in_ui"
cp "$msi" "$prefix/drive_c/kit-x64.msi"
kit="$prefix/drive_c/Program Files/PrinterDriverKit"
msiexec() { bash "$wine_exec" "$prefix" msiexec "$@" >>"$work/msiexec.out" 2>&1; }
reg_query() { bash "$wine_exec" "$prefix" reg query "$1" 2>/dev/null | tr -d '\r'; }
driver='HKLM\System\CurrentControlSet\Control\Print\Environments\Windows x64\Drivers\Version-3\VRT-Q40'

msiexec /i 'C:\kit-x64.msi' /qn MODEL=VRT-Q40 PORT=LPT1:
status=$?
[ "$status" != 0 ] || fail "installed without ACCEPT_LICENCE=1"
[ ! -e "$kit" ] || fail "a refused package left $kit"
reg_query "$driver" | grep -q 'Configuration File' && fail "a refused package installed the driver"

msiexec /i 'C:\kit-x64.msi' /qn ACCEPT_LICENCE=1 MODEL=VRT-Q40 PORT=LPT1: '/l*v' 'C:\msi-install.log'
status=$?
grep -aq 'Action start [0-9:]*: QuietInstall' "$prefix/drive_c/msi-install.log" || fail "the quiet install did not run"
log=$(find "$prefix/drive_c" -name kitsetup-quiet.log | head -1)
[ -n "$log" ] || fail "no kitsetup-quiet.log"
grep -q 'port page: LPT1:' "$log" 2>/dev/null || fail "the quiet install did not reach the port page: $(tail -3 "$log" 2>/dev/null)"
reg_query "$driver" | grep -q 'Configuration File' || fail "the quiet install did not install the driver"
if [ "$status" = 0 ]; then
  grep -qx 'VRT-Q40(P)' "$kit/installed-printers.txt" || fail "no printer recorded: $(cat "$kit/installed-printers.txt")"
  msiexec /x 'C:\kit-x64.msi' /qn
  status=$?
  [ "$status" = 0 ] || fail "msiexec /x: status $status"
  reg_query 'HKLM\System\CurrentControlSet\Control\Print\Printers\VRT-Q40(P)' | grep -q . && fail "/x left VRT-Q40(P)"
  [ ! -e "$kit/kitsetup.exe" ] || fail "/x left the kit folder"
  removal=$(find "$prefix/drive_c" -name uninstall-quiet.log | head -1)
  grep -q 'VRT-Q40(P)' "$removal" 2>/dev/null || fail "the removal's log does not name VRT-Q40(P)"
  echo "the MSI under Wine: all checks passed (installed and removed)"
else
  # The named gap, exactly: the wizard's own text, then the rollback.
  grep -q 'ended: The printer could not be created\.' "$log" ||
    fail "the package failed without the named gap's text: $(tail -3 "$log")"
  [ ! -e "$kit/kitsetup.exe" ] || fail "the failed package was not rolled back"
  [ "$failures" = 0 ] && echo "the MSI under Wine: all checks passed (the named gap: no printer, rolled back, nothing for /x)"
fi
[ "$failures" = 0 ] || { tail -20 "$work/msiexec.out"; exit 1; }
