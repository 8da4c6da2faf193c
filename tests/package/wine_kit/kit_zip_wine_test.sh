#!/usr/bin/env bash
# kit_zip_wine_test.sh ZIP PREFIX_KIND SHOTS WINE_EXEC STAND_IN_UI WORK OUT_DIR PROGRAM.exe [PROGRAM32.exe]
# A kit zip as a user gets it, under Wine: a fresh prefix of PREFIX_KIND
# ("win64": 64-bit Windows, where the x86 kit's 32-bit programs run as under
# WOW64; "win32": 32-bit Windows), the zip unpacked to "C:\Printer Kit" (a
# folder name with a space), LPT1: mapped to a file, and PROGRAM.exe
# (kit_zip_wine_test.cpp) run through walk_screenshots.sh, which saves the
# PNG of every window it asks for in OUT_DIR, each name starting with
# SHOTS. With PROGRAM32.exe (a 32-bit build of the same test, for the x86
# kit on 64-bit Windows), the installed printer's Printing Preferences are
# opened from that 32-bit host too, before the uninstall.
#
# Fails with the path named when the zip has not been made. Where this
# machine cannot run 32-bit programs and the run needs them (a 32-bit
# prefix, or the x86 kit's i686 programs), ends with "skipped: REASON" and
# status 77, which CTest counts as a skip.
set -uo pipefail
zip=$1 kind=$2 shots=$3 wine_exec=$4 stand_in_ui=$5 work=$6 out=$7 program=$8 program32=${9:-}
here=$(cd "$(dirname "$0")" && pwd)
tests=$(cd "$here/../.." && pwd)
skip_status=77

if [ ! -f "$zip" ]; then
  echo "FAIL: the kit zip is missing: $zip" >&2
  echo "  It is made by 'python3 package/make_kit.py' from the mingw-x64 and mingw-x86 builds;" >&2
  echo "  scripts/test-all.sh runs this test after packaging (ctest -L kit_zip)." >&2
  exit 1
fi
case $kind in
  win64) prefix="$work/wineprefix" store_arch=amd64 ;;
  win32) prefix="$work/wineprefix-win32" store_arch=I386 ;;
  *) echo "FAIL: prefix kind '$kind' is neither win64 nor win32" >&2; exit 1 ;;
esac
# The x86 kit's programs are i686 builds: this machine must start 32-bit
# programs (scripts/runs-32bit.sh says why not). The x64 kit's walk leaves
# out its one 32-bit program there (KIT_RUNS_32BIT=0).
# The machine field of the zip's kitsetup.exe: 014c for an i686 build.
setup_machine="import struct, sys, zipfile
data = zipfile.ZipFile(sys.argv[1]).read('kitsetup.exe')
pe = struct.unpack_from('<I', data, 60)[0]
print('%04x' % struct.unpack_from('<H', data, pe + 4)[0])"
export KIT_RUNS_32BIT=1
if ! reason=$(bash "$tests/../scripts/runs-32bit.sh"); then
  if [ "$kind" = win32 ] || [ "$(python3 -c "$setup_machine" "$zip")" = 014c ]; then
    echo "skipped: 32-bit Windows programs cannot run: $reason"
    exit $skip_status
  fi
  echo "not run: the kit's 32-bit USB installer ($reason)"
  KIT_RUNS_32BIT=0
fi

if [ -n "$program32" ] && [ ! -f "$program32" ]; then
  echo "FAIL: the 32-bit host is missing: $program32 (built by the mingw-x86 preset)" >&2
  exit 1
fi

# A fresh prefix: the walk changes the spooler. One prefix serves every step.
rm -rf "$work"
mkdir -p "$work"
# The prefix's programs end with the walk, whatever it left running.
trap 'WINEPREFIX=$prefix wineserver -k 2>/dev/null' EXIT
started=$(bash "$wine_exec" "$prefix" cmd /c exit 2>&1)
if [ ! -f "$prefix/system.reg" ]; then
  echo "FAIL: no Wine prefix in $prefix:" >&2
  printf '%s\n' "$started" >&2
  exit 1
fi
# What Windows has in its driver store and Wine lacks: the universal
# driver's files of the prefix's own architecture, where the wizard takes
# them from.
store="$prefix/drive_c/windows/system32/DriverStore/FileRepository/ntprint.inf_${store_arch,,}_kit/$store_arch"
mkdir -p "$store"
cp "$stand_in_ui" "$store/UNIDRVUI.DLL" || exit 1
for f in UNIDRV.DLL UNIRES.DLL TTFSUB.GPD STDNAMES.GPD UNIDRV.HLP; do echo "stand-in $f" > "$store/$f"; done

kit="$prefix/drive_c/Printer Kit"
python3 -m zipfile -e "$zip" "$kit" || { echo "FAIL: cannot unpack $zip" >&2; exit 1; }
[ -f "$kit/kitsetup.exe" ] && [ -f "$kit/Uninstall.exe" ] || { echo "FAIL: no programs at the top of $zip" >&2; exit 1; }

# Wine's port mapping: LPT1: to a file, both as the device link and in the
# spooler's own table of port outputs (Wine 8 needs both to print a job
# into the file; either one alone leaves it empty while the test runs).
port_file="$work/lpt1.out"
ln -sfn "$port_file" "$prefix/dosdevices/lpt1"
bash "$wine_exec" "$prefix" reg add 'HKCU\Software\Wine\Printing\Spooler' /v LPT1: /t REG_SZ /d "$port_file" /f \
  >/dev/null 2>&1 || { echo "FAIL: cannot map LPT1: to $port_file" >&2; exit 1; }

export KIT_FOLDER='C:\Printer Kit' KIT_PORT_FILE="$port_file" KIT_SHOTS="$shots"
run() {
  bash "$tests/setup/wizard_win32/walk_screenshots.sh" "$out" bash "$wine_exec" "$prefix" "$@" --gtest_color=no
}
if [ -z "$program32" ]; then
  run "$program" --gtest_filter=-KitZipUnderWine.PrintingPreferencesOpenInA32BitHost
  exit
fi
# The uninstall comes last, after the 32-bit host has had the printer.
status=0
run "$program" --gtest_filter=-KitZipUnderWine.UninstallRemovesThePrinter:KitZipUnderWine.PrintingPreferencesOpenInA32BitHost \
  || status=1
run "$program32" --gtest_filter=KitZipUnderWine.PrintingPreferencesOpenInA32BitHost || status=1
run "$program" --gtest_filter=KitZipUnderWine.UninstallRemovesThePrinter || status=1
exit $status
