#!/usr/bin/env bash
# kit_zip_wine_test.sh ZIP WINE_EXEC STAND_IN_UI WORK OUT_DIR PROGRAM.exe
# The x64 kit zip as a user gets it, under Wine: a fresh prefix, the zip
# unpacked to "C:\Printer Kit" (a folder name with a space), LPT1: mapped
# to a file, and PROGRAM.exe (kit_zip_wine_test.cpp) run through
# walk_screenshots.sh, which saves the PNG of every window it asks for in
# OUT_DIR. Fails with the path named when the zip has not been made.
set -uo pipefail
zip=$1 wine_exec=$2 stand_in_ui=$3 work=$4 out=$5 program=$6
here=$(cd "$(dirname "$0")" && pwd)
tests=$(cd "$here/../.." && pwd)

if [ ! -f "$zip" ]; then
  echo "FAIL: the x64 kit zip is missing: $zip" >&2
  echo "  It is made by 'python3 package/make_kit.py' from the mingw-x64 and mingw-x86 builds;" >&2
  echo "  scripts/test-all.sh runs this test after packaging (ctest -L kit_zip)." >&2
  exit 1
fi

# A fresh prefix: the walk changes the spooler.
prefix="$work/wineprefix"
rm -rf "$work"
mkdir -p "$work"
bash "$wine_exec" "$prefix" cmd /c exit >/dev/null 2>&1
[ -f "$prefix/system.reg" ] || { echo "FAIL: no Wine prefix in $prefix" >&2; exit 1; }
bash "$tests/setup/scripted_win32/driver_store_stand_in.sh" "$prefix" "$stand_in_ui" || exit 1

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

export KIT_FOLDER='C:\Printer Kit' KIT_PORT_FILE="$port_file"
bash "$tests/setup/wizard_win32/walk_screenshots.sh" "$out" bash "$wine_exec" "$prefix" "$program" --gtest_color=no
