#!/usr/bin/env bash
# kit_render_side_test.sh CHECK_PE KIT_DATA WORK
# The packaged kit's check refuses a stand-in on the rendering side of any
# series or among the kit's monitors, in either payload folder: a kit
# folder of the kit's data with a 64-bit COM module in W64\ under each
# model's rendering plug-in's name (a small DLL with the two COM entries,
# made here with mingw-w64) and a small DLL with InitializePrintMonitor2 under each monitor's name, one with
# InitializePrintMonitorUI under each port dialog module's name (W32\ keeps
# the data's stand-ins), then one fault of each kind. Each case names the
# line check-pe.sh must print, or must not print ("!").
set -euo pipefail
check_pe=$1 data=$2 work=$3
rm -rf "$work" && mkdir -p "$work"
fail=0
printf '%s\n' '__declspec(dllexport) long __stdcall DllGetClassObject(const void* c, const void* i, void** p) { *p = 0; return 1; }' \
  '__declspec(dllexport) long __stdcall DllCanUnloadNow(void) { return 0; }' > "$work/module.c"
printf 'int __stdcall Nothing(void) { return 0; }\n' > "$work/bare.c"
printf '%s\n' '__declspec(dllexport) void* __stdcall InitializePrintMonitor2(void* i, void** m) { return 0; }' \
  > "$work/monitor.c"
printf '%s\n' '__declspec(dllexport) void* __stdcall InitializePrintMonitorUI(void) { return 0; }' > "$work/monitorui.c"
x86_64-w64-mingw32-gcc -O2 -shared -o "$work/module.dll" "$work/module.c"
x86_64-w64-mingw32-gcc -O2 -shared -o "$work/bare.dll" "$work/bare.c"
x86_64-w64-mingw32-gcc -O2 -shared -o "$work/monitor.dll" "$work/monitor.c"
x86_64-w64-mingw32-gcc -O2 -shared -o "$work/monitorui.dll" "$work/monitorui.c"
lay() {  # a fresh kit folder
  rm -rf "$work/kit" && mkdir -p "$work/kit"
  cp -r "$data/DRVCONFIG" "$data/W32" "$data/W64" "$work/kit/"
  for token in VRTQ40 VRTD45 VRTT80 VRTL50 VRTE20; do cp "$work/module.dll" "$work/kit/W64/${token}R.DLL"; done
  for name in KVRCOMMON KVRUSBMON KVRLMON; do cp "$work/monitor.dll" "$work/kit/W64/$name.DLL"; done
  for name in KVRCOMUI KVRUSBUI; do cp "$work/monitorui.dll" "$work/kit/W64/$name.DLL"; done
}
expect() {  # expect CASE LINE ("!LINE": must not appear) in $out, the check's last words
  if [[ $2 == !* ]]; then
    ! grep -qF -- "${2#!}" <<<"$out" || { echo "$1: said \"${2#!}\""; fail=1; }
  else
    grep -qF -- "$2" <<<"$out" || { echo "$1: did not say \"$2\""; echo "$out"; fail=1; }
  fi
}
# The UI plug-in is not laid here: its lines are not this test's.
check() { out=$(bash "$check_pe" --kit "$work/kit" x64 2>&1 | grep -v 'VRTQ40UI' || true); }
# The build's modules pass, the data's stand-ins do not.
lay
check
for token in VRTQ40 VRTD45 VRTT80 VRTL50 VRTE20; do
  expect "the data's stand-in of $token" "W32\\${token}R.DLL is no rendering plug-in"
done
expect "COM modules, sound lists and data files" "!W64\\VRT"
for name in KVRCOMMON KVRUSBMON KVRLMON KVRCOMUI KVRUSBUI; do
  expect "the data's stand-in of $name" "W32\\$name.DLL is no monitor image"
done
expect "monitor images" "!W64\\KVR"
# One fault of each kind, on three models.
echo "placeholder VRTL50R.DLL for W64" > "$work/kit/W64/VRTL50R.DLL"
cp "$work/bare.dll" "$work/kit/W64/VRTE20R.DLL"
printf '[OEMFiles]\r\nOEMDriverFile1=VRTQ40R.DLL\r\n' > "$work/kit/W64/VRTT80.INI"
rm "$work/kit/W64/VRTE20.INI"
echo "placeholder VRTD45G.GPD for W64" > "$work/kit/W64/VRTD45G.GPD"
echo "placeholder KVRUSBMON.DLL for W64" > "$work/kit/W64/KVRUSBMON.DLL"
cp "$work/bare.dll" "$work/kit/W64/KVRLMON.DLL"
echo "placeholder KVRCOMUI.DLL for W64" > "$work/kit/W64/KVRCOMUI.DLL"
cp "$work/monitor.dll" "$work/kit/W64/KVRUSBUI.DLL"
check
expect "a stand-in module" "W64\\VRTL50R.DLL is no rendering plug-in"
expect "a list naming another module" "W64\\VRTT80.INI names no VRTT80R.DLL"
expect "a missing list" "W64\\VRTE20.INI names no VRTE20R.DLL"
expect "a DLL without the COM entries" "W64/VRTE20R.DLL does not export DllGetClassObject"
expect "a stand-in data file" "W64\\VRTD45G.GPD is a stand-in"
expect "the sound Q40" "!W64\\VRTQ40"
expect "a stand-in monitor" "W64\\KVRUSBMON.DLL is no monitor image"
expect "a DLL without the monitor's entry" "W64\\KVRLMON.DLL does not export InitializePrintMonitor2"
expect "the sound serial monitor" "!W64\\KVRCOMMON"
expect "a stand-in port dialog" "W64\\KVRCOMUI.DLL is no monitor image"
expect "a monitor in the port dialog's place" "W64\\KVRUSBUI.DLL does not export InitializePrintMonitorUI"
[ $fail -eq 0 ] && echo "the rendering side of every series checked"
exit $fail
