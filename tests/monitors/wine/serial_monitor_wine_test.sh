#!/usr/bin/env bash
# serial_monitor_wine_test.sh WINE_EXEC TESTS.exe KVRCOMMON.DLL WORK KVRUSBMON.DLL KVRLMON.DLL KvUsbInt.dll
#                             KVRCOMUI.DLL KVRUSBUI.DLL SCREENSHOT.sh PICTURES
# The kit's monitors in Wine's spooler, on a fresh 64-bit prefix:
# KVRCOMMON.DLL, KVRUSBMON.DLL and KVRLMON.DLL laid in the system folder
# (where the install copies them), COM1 mapped to a pseudo-terminal
# (com_capture.py), the port USB_VRT-Q40_1 recorded as the install records
# it, the kit's stand-in KvUsbInt.dll in C:\standin; then TESTS.exe
# (serial_monitor_wine_test.cpp, usb_monitor_wine_test.cpp) adds the
# monitors, sets KVCOM1:'s settings, prints a raw job on a printer on
# KVCOM1:, drives the language monitor over the USB monitor, and prints a
# raw job on a printer on USB_VRT-Q40_1 (once the test has put the library
# in place). Passes when the terminal received the first job's bytes,
# whole and once, with the line settings stored for the port, the stand-in
# library's log the language monitor's bytes and the USB job's, each once,
# written to the printer with the port's id, and the language monitor set
# and cleared the job's status. The port dialog modules KVRCOMUI.DLL and
# KVRUSBUI.DLL lie in the system folder too: TESTS.exe (port_dialog_wine_test.cpp)
# opens them through Wine's ConfigurePortW and drives them; then
# SCREENSHOT.sh photographs each one into PICTURES (port_dialog_serial.png,
# port_dialog_usb.png, and the serial one as a user without administer
# rights sees it, port_dialog_serial_read_only.png).
set -uo pipefail
wine_exec=$1 program=$2 monitor=$3 work=$4 usb_monitor=$5 language_monitor=$6 kvusbint=$7
serial_ui=$8 usb_ui=$9 screenshot=${10} pictures=${11}
here=$(cd "$(dirname "$0")" && pwd)
prefix="$work/wineprefix"
rm -rf "$work"
mkdir -p "$work"
trap 'WINEPREFIX=$prefix wineserver -k 2>/dev/null; [ -n "${capture:-}" ] && kill "$capture" 2>/dev/null' EXIT
started=$(bash "$wine_exec" "$prefix" cmd /c exit 2>&1)
status=$?
[ $status -eq 77 ] && { echo "$started"; exit 77; }
[ -f "$prefix/system.reg" ] || { echo "FAIL: no Wine prefix in $prefix: $started" >&2; exit 1; }
system32=$prefix/drive_c/windows/system32
cp "$monitor" "$system32/KVRCOMMON.DLL" || exit 1
cp "$usb_monitor" "$system32/KVRUSBMON.DLL" || exit 1
cp "$language_monitor" "$system32/KVRLMON.DLL" || exit 1
cp "$serial_ui" "$system32/KVRCOMUI.DLL" || exit 1
cp "$usb_ui" "$system32/KVRUSBUI.DLL" || exit 1
mkdir -p "$prefix/drive_c/standin" && cp "$kvusbint" "$prefix/drive_c/standin/KvUsbInt.dll" || exit 1
bash "$wine_exec" "$prefix" reg add 'HKLM\SOFTWARE\VELDRAN\PORTNAME' /v USB_VRT-Q40_1 /t REG_DWORD /d 1 /f \
  >/dev/null 2>&1 || { echo "FAIL: cannot record the USB port" >&2; exit 1; }

python3 "$here/com_capture.py" "$work/com1.out" "$work/ready" "$work/stop" >"$work/line.txt" &
capture=$!
for _ in $(seq 50); do [ -f "$work/ready" ] && break; sleep 0.1; done
[ -f "$work/ready" ] || { echo "FAIL: no pseudo-terminal for COM1" >&2; exit 1; }
# Wine's own mapping of COM1 (its mount manager rewrites dosdevices/com1 from
# this value when the prefix starts), then a restart of the prefix.
bash "$wine_exec" "$prefix" reg add 'HKLM\Software\Wine\Ports' /v COM1 /t REG_SZ /d "$(cat "$work/ready")" /f \
  >/dev/null 2>&1 || { echo "FAIL: cannot map COM1" >&2; exit 1; }
WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1; WINEPREFIX=$prefix wineserver -w >/dev/null 2>&1

export KIT_JOB_TEXT=$'\e@KVCOM1: a raw job through the serial port monitor\e|END'
export KIT_COM1_SETTINGS='19200,e,7,2,x'
export KIT_USB_JOB_TEXT=$'\e@USB_VRT-Q40_1: a raw job through the USB port monitor\e|END'
export KIT_LM_JOB_TEXT=$'\e@through the language monitor\n'
# Wine's file channel records the line settings SetCommState was given
# (dump_dcb), and its spooler channel the language monitor's SetJob calls,
# among much else, and its local provider's which module answered AddPort
# and DeletePort: kept in a log of their own.
WINEDEBUG=-all,trace+file,trace+winspool,trace+localspl bash "$wine_exec" "$prefix" "$program" --gtest_color=no \
  --gtest_filter=-PortDialogPicture.* 2>"$work/wine_trace.log"
result=$?
touch "$work/stop"
wait "$capture"
capture=
line=$(cat "$work/line.txt")
echo "COM1 line settings: $line"
printf '%s' "$KIT_JOB_TEXT" >"$work/expected.out"
if ! cmp -s "$work/expected.out" "$work/com1.out"; then
  echo "FAIL: COM1 did not receive the job as sent:" >&2
  od -c "$work/com1.out" | head -20 >&2
  result=1
else
  echo "COM1 received the job: $(stat -c %s "$work/com1.out") bytes, as sent"
fi
# What the terminal keeps: speed, stop bits and flow control (Linux keeps a
# pseudo-terminal at 8 data bits without parity whatever it is given).
if [ "$line" != "speed=19200 size=8 parity=none stop=2 xon=1 rtscts=0" ]; then
  echo "FAIL: COM1's line settings are not KVCOM1:'s stored $KIT_COM1_SETTINGS" >&2
  result=1
fi
# What Wine's serial layer was given, data bits and parity included: 7
# bits, even parity (EVENPARITY 2), two stop bits (TWOSTOPBITS 2), XON/XOFF,
# no CTS handshake.
dcb=$(grep -a 'dump_dcb' "$work/wine_trace.log" | tail -n 1 | sed 's/.*dump_dcb //')
echo "Wine's record of the port's settings: $dcb"
case $dcb in
  "size=7 rate=19200 fParity=1 Parity=2 stopbits=2 IXON IXOFF CTS=0 "*"~CRTSCTS"*) ;;
  *) echo "FAIL: SetCommState was not given KVCOM1:'s stored $KIT_COM1_SETTINGS" >&2; result=1 ;;
esac
# The USB writes: the language monitor's, then the spooler's job, each one
# write to index 1 (the printer with id 0, the port's), pipe 0, its bytes
# whole; none to index 0 (id 5, another port's), none while the library was
# missing.
hex() { printf '%s' "$1" | od -An -tx1 -v | tr -d '\n' | tr a-f A-F; }
expected="write 1 pipe 0:$(hex "$KIT_LM_JOB_TEXT")
write 1 pipe 0:$(hex "$KIT_USB_JOB_TEXT")"
log=$(tr -d '\r' <"$system32/UsbWrites.log" 2>/dev/null)
if [ "$log" != "$expected" ]; then
  echo "FAIL: the USB printer with the port's id did not receive each job once, whole:" >&2
  printf '%s\n' "$log" | head -5 >&2
  result=1
else
  echo "The USB printer with the port's id received the language monitor's $(printf '%s' "$KIT_LM_JOB_TEXT" | wc -c)" \
       "bytes and the job's $(printf '%s' "$KIT_USB_JOB_TEXT" | wc -c) bytes, each once"
fi
# The language monitor's job status: SetJob level 1 when the port took
# nothing (the waiting text) and again when it took the bytes (cleared);
# the test's own SetJob that deletes the held job is level 0.
set_job=$(grep -a -cE 'trace:winspool:SetJobW \([0-9A-Fa-f]+, [0-9]+, 1, ' "$work/wine_trace.log")
echo "The language monitor's SetJob calls (level 1): $set_job"
[ "$set_job" = 2 ] || { echo "FAIL: the language monitor did not set and then clear the job's status" >&2; result=1; }
# Add Port and Delete Port were refused by the dialog modules themselves
# (ERROR_NOT_SUPPORTED, 50), not by Wine for want of one: its trace names
# the module that answered, then the answer.
refusals=$(grep -aE 'localspl:fp(AddPort|DeletePort) (got|use)' "$work/wine_trace.log" | sed 's/^[0-9a-f]*:trace:localspl://' |
           sed -E 's/monitorui [0-9A-Fa-f]+: //')
expected_refusals='fpAddPort got 0 with 50 (L"KVRCOMUI.DLL")
fpDeletePort use (null) for L"KVCOM3:" (L"KVRCOMUI.DLL")
fpDeletePort got 0 with 50
fpDeletePort use (null) for L"USB_VRT-Q40_1" (L"KVRUSBUI.DLL")
fpDeletePort got 0 with 50'
if [ "$refusals" != "$expected_refusals" ]; then
  echo "FAIL: Add Port and Delete Port were not answered by the dialog modules:" >&2
  printf '%s\n' "$refusals" >&2
  result=1
else
  echo "Add Port and Delete Port: refused by KVRCOMUI.DLL and KVRUSBUI.DLL (error 50)"
fi
# The two port dialogs as a person sees them, on a display of their own.
for kind in serial:Serial usb:Usb serial_read_only:SerialReadOnly; do
  WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1; WINEPREFIX=$prefix wineserver -w >/dev/null 2>&1
  if ! bash "$screenshot" "$wine_exec" "$prefix" "$program" --gtest_filter="PortDialogPicture.${kind#*:}" \
       "$pictures/port_dialog_${kind%%:*}.png"; then
    echo "FAIL: no picture of the ${kind%%:*} port's dialog" >&2
    result=1
  fi
done
exit $result
