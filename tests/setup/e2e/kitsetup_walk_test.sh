#!/usr/bin/env bash
# End-to-end installs of the Linux kitsetup on fresh virtual machines, driven
# by console scripts: each run is judged by the machine state it leaves
# (printers, drivers, monitors, processors, ports, registry records, started
# programs) as the machine tool shows it.
# Usage: kitsetup_walk_test.sh VMACHINE KIT_FOLDER SCRIPT_FOLDER
set -u
vmachine=$1 kit=$2 scripts=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
transcripts=()
fail() { echo "FAIL $1"; failures=$((failures + 1)); }
expect() {  # expect NAME FILE TEXT
  grep -qF -- "$3" "$2" || fail "$1: missing: $3"
}
refuse() {  # refuse NAME FILE TEXT
  ! grep -qF -- "$3" "$2" || fail "$1: unexpected: $3"
}

# A fresh machine with the kit's monitors offering their ports: the serial
# monitor KVCOM1: to KVCOM8:, the USB monitor one port per install record.
V=$vmachine
source "$scripts/machine_helpers.sh"
machine() {  # machine NAME PRESET
  kit_machine "$work/$1" "$2" || exit 1
}
# Runs a script and appends the machine's state to its transcript.
walk() {  # walk NAME SCRIPT [EXIT]
  local out="$work/$1.txt"
  transcripts+=("$out")
  "$kit/kitsetup" --machine "$work/$1" --script "$scripts/$2" >"$out" 2>&1
  echo "exit $?" >>"$out"
  for what in printers drivers monitors processors ports launches; do "$vmachine" show "$work/$1" "$what" >>"$out"; done
  "$vmachine" registry "$work/$1" 'HKLM\SOFTWARE\VELDRAN' >>"$out" 2>&1
  "$vmachine" registry "$work/$1" 'HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Ports' >>"$out" 2>&1
  expect "$1" "$out" "exit ${3:-0}"
  expect "$1" "$out" '"C:\kit\RegUtility\Regutility.exe" 999'
  if grep -q '^!' "$out"; then fail "$1: refused actions: $(grep '^!' "$out" | head -3)"; fi
}

for preset in win7-x64-en winxp-x86-en; do
  machine "$preset-lpt" "$preset"
  walk "$preset-lpt" walk_lpt.txt
  # The printer prints through the system's processor; setup registers none.
  expect "$preset-lpt" "$work/$preset-lpt.txt" 'VRT-Q40(P) (default)  port LPT1:  driver VRT-Q40  processor WinPrint'
  expect "$preset-lpt" "$work/$preset-lpt.txt" 'The driver is installed.'
  expect "$preset-lpt" "$work/$preset-lpt.txt" '  winprint  ['
  refuse "$preset-lpt" "$work/$preset-lpt.txt" 'WinPrint  ['

  machine "$preset-com" "$preset"
  walk "$preset-com" walk_com.txt
  expect "$preset-com" "$work/$preset-com.txt" 'VRT-Q40(S) (default)  port KVCOM1:  driver VRT-Q40'
  expect "$preset-com" "$work/$preset-com.txt" 'KVR Serial Port  (KVRCOMMON.DLL)'
  expect "$preset-com" "$work/$preset-com.txt" 'KVCOM1:  KVR Serial Port'
  expect "$preset-com" "$work/$preset-com.txt" 'COM1: = REG_SZ "9600,n,8,1,p"'

  machine "$preset-usb" "$preset"
  walk "$preset-usb" walk_usb.txt
  expect "$preset-usb" "$work/$preset-usb.txt" 'VRT-Q40(U) 1 (default)  port USB_VRT-Q40_1  driver VRT-Q40'
  expect "$preset-usb" "$work/$preset-usb.txt" "monitor 'KVR Language Monitor'"
  expect "$preset-usb" "$work/$preset-usb.txt" 'KVR USB Port  (KVRUSBMON.DLL)'
  expect "$preset-usb" "$work/$preset-usb.txt" 'USB_VRT-Q40_1  KVR USB Port'
  expect "$preset-usb" "$work/$preset-usb.txt" 'The driver is installed. Connect the printer to USB now.'

  machine "$preset-net" "$preset"
  walk "$preset-net" walk_net.txt
  expect "$preset-net" "$work/$preset-net.txt" 'VRT-Q40(E) (default)  port KVIP_192.168.0.50  driver VRT-Q40'
  expect "$preset-net" "$work/$preset-net.txt" 'KVIP_192.168.0.50  Standard TCP/IP Port'
done

# Windows 95: its own path (driver version 0 for "Windows 4.0", no service
# restarts, a restart question after the final message).
machine win95 win95-x86-en
# The restart question answered No: 3010, of which Linux keeps the low 8 bits.
walk win95 walk_lpt_95.txt $((3010 % 256))
expect win95 "$work/win95.txt" 'VRT-Q40(P) (default)  port LPT1:  driver VRT-Q40  processor WinPrint'
expect win95 "$work/win95.txt" 'VRT-Q40  [Windows 4.0, version 0]'
refuse win95 "$work/win95.txt" 'WinPrint  ['
expect win95 "$work/win95.txt" 'Restart Windows now?'

# The USB install records.
expect usb "$work/win7-x64-en-usb.txt" 'USB_VRT-Q40_1'
expect usb "$work/win7-x64-en-usb.txt" 'PRINTERPORT'

# A failing run shows one text: the driver's registration is refused.
machine fail win7-x64-en
"$vmachine" fault "$work/fail" call AddPrinterDriverEx 5 >/dev/null
walk fail walk_lpt.txt 1
expect fail "$work/fail.txt" 'The printer driver could not be installed.'
refuse fail "$work/fail.txt" 'The driver is installed.'
[ "$(grep -c -- '--- message box' "$work/fail.txt")" -eq 1 ] || fail "fail: more than one message"
refuse fail "$work/fail.txt" 'VRT-Q40(P) '

# Simplified Chinese Windows 7 x86: Chinese texts, the serial-only model on
# KVCOM1: with Xon/Xoff, Back lands on the mode page.
machine cn win7-x86-zh-cn
walk cn walk_serial_cn.txt
expect cn "$work/cn.txt" '=== 打印机驱动安装程序  [dialog 102]'
expect cn "$work/cn.txt" '我接受此协议'
expect cn "$work/cn.txt" 'page 137:'
expect cn "$work/cn.txt" 'VRT-D45(S) (default)  port KVCOM1:  driver VRT-D45  processor WinPrint'
expect cn "$work/cn.txt" 'COM1: = REG_SZ "9600,n,8,1,x"'

# Traditional Chinese Windows 8.1 x64: Windows 8 on the OS page stored as
# code 7, Advanced mode with four USB ports, the label model on the first;
# Advanced mode needs the printer connected, here with the id of port 1.
machine tw win81-x64-zh-tw
"$vmachine" plug "$work/tw" --vid 7A5C --pid 1000 --release 0 --kvusb >/dev/null || exit 1
walk tw walk_usb_tw.txt
expect tw "$work/tw.txt" '=== 印表機驅動安裝程式  [dialog 102]'
expect tw "$work/tw.txt" 'USB_VRT-L50_4'
expect tw "$work/tw.txt" 'VRT-L50(U) 1 (default)  port USB_VRT-L50_1  driver VRT-L50'

# English Windows 7 x64 without Wow64DisableWow64FsRedirection: the port page
# says so when it reads the installed USB driver's version, and goes on to a
# finished install.
machine nofs win7-x64-en
"$vmachine" set "$work/nofs" missing-proc 'Kernel32.dll!Wow64DisableWow64FsRedirection' || exit 1
walk nofs walk_net.txt
expect nofs "$work/nofs.txt" "Can't Get Function Wow64DisableWow64FsRedirection Address"
expect nofs "$work/nofs.txt" 'VRT-Q40(E) (default)  port KVIP_192.168.0.50  driver VRT-Q40'

if [ "$failures" -ne 0 ]; then
  for t in "${transcripts[@]}"; do echo "--- $t"; cat "$t"; done
  exit 1
fi
echo "all ${#transcripts[@]} installs passed"
