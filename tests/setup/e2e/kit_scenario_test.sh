#!/usr/bin/env bash
# kit_scenario_test.sh PRESET SOURCE BUILD WORK
# The kit as shipped, the whole road on one fresh virtual machine: the linux
# flavour of the packaging command laid out below a path with a space (and
# Chinese characters on a Chinese preset); the receipt model installed by
# kitsetup on USB (a family printer plugged in, the kit's USB installer run
# with "2"), on KVCOM1: with its serial settings, on LPT1: and on TCP/IP (the
# port mapped to a kvjob loopback printer); on Printing Preferences a drawer
# pulse at the document's start and a partial cut at its end, kept when the
# sheet is opened again; on Properties a logo converted with Dither M3 and
# downloaded, then the self-test; Uninstall with every component and the USB
# driver; the machine compared with its snapshot, where only the leftovers
# listed in scenario/uninstall_leftovers.txt may stay (the tool's own
# `diff --ignore`, as a user runs it). Then the same printer
# names on a second install, and a network printer that does not answer.
set -uo pipefail
preset=$1 source=$2 build=$3
case $preset in
  *zh-cn | *zh-tw) work="$4/kit folder 打印机" ;;
  *) work="$4/kit folder" ;;
esac
rm -rf "$4"
mkdir -p "$work"
here=$(cd "$(dirname "$0")" && pwd)
scenario=$here/scenario
V=$build/tools/vmachine/vmachine
sheets=$build/plugin/host/printui-sheets
kvjob=$build/tools/kvjob/kvjob
kvlogo=$build/tools/kvlogo/kvlogo
source "$here/machine_helpers.sh"
kit="$work/package/linux"
m="$work/machine"
# No step of the road may take longer than this (seconds).
step_limit=60
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
expect() {  # expect FILE TEXT
  grep -qF -- "$2" "$1" || fail "$(basename "$1"): missing: $2"
}
# The index of the item selected in combo box ID of the dialog that the
# action "> ACTION" opened, as a console transcript shows it.
selected() {  # selected FILE ACTION ID
  awk -v start="> $2" -v id="$3" '
    $0 == start { on = 1; next }
    on && /^> / { exit }
    on && $1 == "combo" && $2 == id { combo = 1; next }
    combo && /^ +[0-9]+ +> / { print $1; exit }
    combo && !/^ +[0-9]+ / { combo = 0 }' "$1"
}
# Waits for the USB installers started so far; each must have ended with 0.
installer_ended() {
  local why
  why=$(wait_for_installer "$m" "$work/installer-ends" $((step_limit * 10))) || { fail "$why"; return; }
  grep -qv '^0$' "$work/installer-ends" 2>/dev/null && fail "the USB installer failed: $(tr '\n' ' ' <"$work/installer-ends")"
}
install() {  # install NAME SCRIPT
  timeout $step_limit "$kit/kitsetup" --machine "$m" --kit "$kit" --script "$2" </dev/null >"$work/$1.txt" 2>&1 ||
    fail "kitsetup $1: exit $?"
  installer_ended
  grep -q '^!' "$work/$1.txt" && fail "kitsetup $1: refused actions: $(grep '^!' "$work/$1.txt" | head -2)"
}
sheet() {  # sheet NAME prefs|props PRINTER SCRIPT
  if ! timeout $step_limit "$sheets" "$2" "$3" --machine "$m" --script "$4" </dev/null >"$work/$1.txt" 2>&1; then
    fail "printui-sheets $1: exit $?: $(grep -E '^!|message box|no language files' "$work/$1.txt" | head -2)"
    return 1
  fi
  grep -qE 'message box|no language files' "$work/$1.txt" &&
    fail "printui-sheets $1: $(grep -E 'message box|no language files' "$work/$1.txt" | head -2)"
  return 0
}
# A local TCP port that nothing listens on.
closed_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1]); s.close()'
}
printers_expected=(
  'VRT-Q40(U) 1  port USB_VRT-Q40_1  driver VRT-Q40'
  'VRT-Q40(S)  port KVCOM1:  driver VRT-Q40'
  'VRT-Q40(P)  port LPT1:  driver VRT-Q40'
  'VRT-Q40(E) (default)  port KVIP_192.168.0.50  driver VRT-Q40'
)

# The kit, a fresh machine with the kit's monitors offering their ports,
# the machine's USB installer (the kit's own, through a wrapper that notes
# each end) and a logo bitmap on drive C:; then the snapshot.
python3 "$source/package/make_kit.py" --linux-build "$build" --out "$work/package" linux >/dev/null ||
  { echo "FAIL make_kit"; exit 1; }
kit_machine "$m" "$preset" || exit 1
map_installer "$m" "$kit/USBDRV/USBDriver/Install.exe" "$work/install.sh" "$work/installer-ends" || exit 1
mkdir -p "$work/logos"
python3 "$source/tests/plugin/pages/download/make_logos.py" "$work/logos" || exit 1
"$V" put "$m" "$work/logos/colour.bmp" 'C:\logos\colour.bmp' >/dev/null || exit 1
# The maker's USB library is on the till beside where the kit's USB monitor
# goes (the machine answers its calls; the file stands for it).
"$V" put "$m" "$kit/KvUsbInt.dll" 'C:\Windows\system32\KvUsbInt.dll' >/dev/null || exit 1
"$V" snapshot "$m" "$m-before" >/dev/null || exit 1
"$V" plug "$m" --vid 7A5C --pid 1000 --release 0 --kvusb >/dev/null || exit 1

# Four installs of the receipt model, the USB printer printing after the
# first.
install usb "$here/walk_usb.txt"

# The USB printer's self-test goes through the language monitor the driver
# names and the kit's USB port monitor to the plugged printer with the
# port's id. Unplugged, the next self-test waits with the language
# monitor's text on it, and prints once the printer is plugged back. (Done
# before the installs on the other ports: each registers the model's
# driver again, without the language monitor.)
usb_writes() {
  "$V" show "$m" devices | sed -n 's/.*reachable through KvUsbInt.dll, \([0-9]*\) write(s)$/\1/p' | head -1
}
usb_before=$(usb_writes)
sheet usb-selftest props 'VRT-Q40(U) 1' "$scenario/props_selftest.txt"
[ "$(usb_writes)" = $((usb_before + 1)) ] || fail "the USB self-test: $usb_before writes, then $(usb_writes)"
"$V" jobs "$m" >"$work/jobs-usb.txt" 2>&1
expect "$work/jobs-usb.txt" "'SELFTEST' on VRT-Q40(U) 1 (port USB_VRT-Q40_1), printed"
usb_device=$("$V" show "$m" devices | sed -n 's/^  \(USB\\VID_7A5C&PID_1000\\[^ ]*\) .*/\1/p' | head -1)
"$V" unplug "$m" "$usb_device" >/dev/null || fail "unplug $usb_device"
sheet usb-selftest-away props 'VRT-Q40(U) 1' "$scenario/props_selftest.txt"
"$V" show "$m" jobs >"$work/jobs-usb-away.txt" 2>&1
expect "$work/jobs-usb-away.txt" "(port USB_VRT-Q40_1): waiting, pieces [4,7,4]  shows: Printer offline, out of paper or not connected: waiting"
"$V" plug "$m" --vid 7A5C --pid 1000 --kvusb --serial "${usb_device##*\\}" >/dev/null || fail "plug back"
[ "$(usb_writes)" = $((usb_before + 2)) ] || fail "the waiting USB self-test: $usb_before writes, then $(usb_writes)"
"$V" show "$m" jobs >"$work/jobs-usb-back.txt" 2>&1
grep -F '(port USB_VRT-Q40_1)' "$work/jobs-usb-back.txt" | grep -qvE ': printed, pieces \[4,7,4\]$' &&
  fail "a USB job not printed, or its text kept: $(grep -F '(port USB_VRT-Q40_1)' "$work/jobs-usb-back.txt")"

install com "$scenario/install_com.txt"
install lpt "$here/walk_lpt.txt"
install net "$here/walk_net.txt"
{
  "$V" show "$m" printers
  "$V" show "$m" launches
  "$V" show "$m" devices
  "$V" registry "$m" 'HKLM\SOFTWARE\VELDRAN'
  "$V" registry "$m" 'HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Ports'
} >"$work/installed.txt" 2>&1
for printer in "${printers_expected[@]}"; do expect "$work/installed.txt" "$printer"; done
expect "$work/installed.txt" 'COM1: = REG_SZ "19200,n,8,1,x"'
grep -A1 -F '[HKLM\SOFTWARE\VELDRAN\PORTNAME]' "$work/installed.txt" | grep -qF 'USB_VRT-Q40_1 = REG_DWORD' ||
  fail "no install record of USB_VRT-Q40_1 under PORTNAME"
grep -A1 -F '[HKLM\SOFTWARE\VELDRAN\PRINTERPORT]' "$work/installed.txt" | grep -qF 'USB_VRT-Q40_1 = REG_DWORD' ||
  fail "no install record of USB_VRT-Q40_1 under PRINTERPORT"
grep -qE '^  open "C:\\kit\\USBDRV\\USBDriver(_x64)?\\Install.exe" 2$' "$work/installed.txt" ||
  fail "the USB installer was not started with 2"
# The Windows folder is C:\Windows, or C:\WINDOWS on XP.
grep -qiF "class USB  driver 'C:\\Windows\\inf\\oem" "$work/installed.txt" || fail "installed.txt: the USB driver is no oemN.inf"

# Printing Preferences: set, then reopened.
sheet prefs-set prefs 'VRT-Q40(E)' "$scenario/prefs_set.txt"
expect "$work/prefs-set.txt" 'private settings record: changed'
sheet prefs-check prefs 'VRT-Q40(E)' "$scenario/prefs_check.txt"
[ "$(selected "$work/prefs-check.txt" 'click 1101' 1005)" = 2 ] || fail "start of document: the drawer pulse was not kept"
[ "$(selected "$work/prefs-check.txt" 'click 1104' 1019)" = 1 ] || fail "end of document: the partial cut was not kept"
expect "$work/prefs-check.txt" 'private settings record: unchanged'

# Properties on the network printer, its port mapped to a loopback printer:
# the logo job and the self-test job as the printer receives them.
mkdir -p "$work/received"
"$kvjob" listen 127.0.0.1:0 --count 2 --timeout $step_limit --keep "$work/received" >"$work/listener.txt" 2>&1 &
listener=$!
for _ in $(seq 50); do grep -q '^listening on' "$work/listener.txt" && break; sleep 0.1; done
port=$(sed -n 's/^listening on 127\.0\.0\.1://p' "$work/listener.txt")
"$V" map-port "$m" KVIP_192.168.0.50 "tcp:127.0.0.1:$port" >/dev/null || fail "map-port"
sheet props props 'VRT-Q40(E)' "$scenario/props_logo_selftest.txt" || kill $listener 2>/dev/null
wait $listener || fail "the loopback printer: $(tail -1 "$work/listener.txt")"
"$V" jobs "$m" >"$work/jobs.txt" 2>&1
grep -A4 '^job 2: 15 bytes$' "$work/listener.txt" | tr '\n' '|' |
  grep -qF 'job 2: 15 bytes|bracket open|self-test|bracket close|' || fail "the self-test as received: $(grep -A4 '^job 2' "$work/listener.txt" | tr '\n' '|')"
expect "$work/jobs.txt" "'SELFTEST' on VRT-Q40(E) (port KVIP_192.168.0.50), printed, 15 bytes in pieces [4,7,4]"
"$kvlogo" convert "$work/logos/colour.bmp" --halftone m3 -o "$work/logos/colour-m3.bmp" >/dev/null || fail "kvlogo"
[ "$(python3 "$scenario/logo_job.py" "$work/logos/colour-m3.bmp")" = "$(od -An -v -tx1 "$work/received/job-1.bin" | tr -d ' \n')" ] ||
  fail "the logo job is not the Dither M3 conversion in the logo framing"

# The serial printer's self-test goes through the kit's serial port monitor
# (KVCOM1:) to the machine's COM1, mapped to a loopback printer.
"$kvjob" listen 127.0.0.1:0 --count 1 --timeout $step_limit >"$work/listener-serial.txt" 2>&1 &
listener=$!
for _ in $(seq 50); do grep -q '^listening on' "$work/listener-serial.txt" && break; sleep 0.1; done
port=$(sed -n 's/^listening on 127\.0\.0\.1://p' "$work/listener-serial.txt")
"$V" map-port "$m" COM1: "tcp:127.0.0.1:$port" >/dev/null || fail "map-port COM1:"
sheet serial-selftest props 'VRT-Q40(S)' "$scenario/props_selftest.txt" || kill $listener 2>/dev/null
wait $listener || fail "the loopback serial printer: $(tail -1 "$work/listener-serial.txt")"
grep -A4 '^job 1: 15 bytes$' "$work/listener-serial.txt" | tr '\n' '|' |
  grep -qF 'job 1: 15 bytes|bracket open|self-test|bracket close|' ||
  fail "the serial self-test as received: $(head -5 "$work/listener-serial.txt" | tr '\n' '|')"
"$V" jobs "$m" >"$work/jobs-serial.txt" 2>&1
expect "$work/jobs-serial.txt" "'SELFTEST' on VRT-Q40(S) (port KVCOM1:), printed"

# Uninstall everything, the USB driver too, then compare with the snapshot.
# The removal asks for a restart and the script declines it: 3010, of
# which Linux keeps 194.
(cd "$kit" && timeout $step_limit "$kit/Uninstall" --machine "$m" --kit "$kit" --script "$scenario/uninstall.txt") \
  </dev/null >"$work/uninstall.txt" 2>&1
status=$?
[ "$status" = $((3010 % 256)) ] || fail "Uninstall: exit $status (a removal with the restart declined ends 3010)"
installer_ended
grep -q '^!' "$work/uninstall.txt" && fail "Uninstall: refused actions: $(grep '^!' "$work/uninstall.txt" | head -2)"
"$V" show "$m" launches | grep -qiE '"C:\\kit\\USBDRV\\USBDriver(_x64)?\\Install.exe" 22$' ||
  fail "the USB installer was not started with 22"
"$V" diff "$m-before" "$m" >"$work/diff.txt"
[ $? = 4 ] || fail "diff: no difference at all after the road"
"$V" diff "$m-before" "$m" --ignore "$scenario/uninstall_leftovers.txt" >"$work/unexpected.txt" 2>&1 ||
  { fail "left after the uninstall and not listed:"; sed 's/^/    /' "$work/unexpected.txt"; }

# Installed again: the same names, no "(1)".
install usb-again "$here/walk_usb.txt"
install lpt-again "$here/walk_lpt.txt"
install net-again "$here/walk_net.txt"
"$V" show "$m" printers >"$work/again.txt"
for printer in 'VRT-Q40(U) 1  port USB_VRT-Q40_1' 'VRT-Q40(P)  port LPT1:' 'VRT-Q40(E) (default)  port KVIP_192.168.0.50'; do
  expect "$work/again.txt" "$printer"
done
grep -qF '(1)' "$work/again.txt" && fail "a second install made a printer name with (1)"

# A network printer that does not answer: the self-test reports nothing and
# the sheet closes in bounded time.
"$V" map-port "$m" KVIP_192.168.0.50 "tcp:127.0.0.1:$(closed_port)" >/dev/null || fail "map-port"
started=$(date +%s)
sheet selftest-unanswered props 'VRT-Q40(E)' "$scenario/props_selftest.txt"
[ $(($(date +%s) - started)) -lt 20 ] || fail "the self-test to a silent printer took $(($(date +%s) - started)) s"
expect "$work/selftest-unanswered.txt" 'all steps answered as expected'

# The Chinese machine shows Chinese captions in the wizard, the sheets and
# the uninstaller.
case $preset in
  *zh-cn)
    expect "$work/usb.txt" '=== 打印机驱动安装程序'
    expect "$work/prefs-set.txt" 'tabs: 0:布局 1:纸张/质量 2*:主页 3:水印 4:操作'
    expect "$work/uninstall.txt" '=== 打印机卸载程序'
    ;;
esac

if [ $failures -ne 0 ]; then
  echo "--- transcripts in $work"
  exit 1
fi
echo "$preset: the whole road passed"
