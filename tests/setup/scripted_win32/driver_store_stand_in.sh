#!/usr/bin/env bash
# driver_store_stand_in.sh PREFIX STAND_IN_UI
# Lays into a Wine prefix what Windows has in its driver store and Wine
# lacks: the universal driver's files, where the wizard takes them from (the
# UI module answers the spooler's device-mode question; the rest are
# stand-ins).
set -eu
prefix=$1 stand_in_ui=$2
store="$prefix/drive_c/windows/system32/DriverStore/FileRepository/ntprint.inf_amd64_kit/amd64"
mkdir -p "$store"
cp "$stand_in_ui" "$store/UNIDRVUI.DLL"
for f in UNIDRV.DLL UNIRES.DLL TTFSUB.GPD STDNAMES.GPD UNIDRV.HLP; do echo "stand-in $f" > "$store/$f"; done
