#!/usr/bin/env bash
# End-to-end walks of the Linux kitsetup on fresh virtual machines, driven by
# console scripts: checks the transcript and the install request it prints.
# Usage: kitsetup_walk_test.sh VMACHINE KIT_FOLDER SCRIPT_FOLDER
set -u
vmachine=$1 kit=$2 scripts=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
expect() {  # expect NAME FILE TEXT
  if ! grep -qF -- "$3" "$2"; then
    echo "FAIL $1: missing: $3"
    failures=$((failures + 1))
  fi
}

# English Windows 7 x64: receipt model on the network port.
"$vmachine" create "$work/en" --preset win7-x64-en >/dev/null || exit 1
"$kit/kitsetup" --machine "$work/en" --script "$scripts/walk_net.txt" >"$work/en.txt" 2>&1
echo "exit $?" >>"$work/en.txt"
expect en "$work/en.txt" 'install request: model "VRT-Q40", series 0, port "NET:" (kind 3), OS code 7, mode Typical, raster 1, baud 9600, data bits 8, stop bits 1, parity '"'n'"', flow '"'p'"', IP "192.168.0.50", default yes'
expect en "$work/en.txt" 'exit 0'
if grep -q '^!' "$work/en.txt"; then echo "FAIL en: refused actions"; grep '^!' "$work/en.txt"; failures=$((failures + 1)); fi

# Simplified Chinese Windows 7 x86: Chinese texts, serial port of the
# serial-only model, Back lands on the mode page.
"$vmachine" create "$work/cn" --preset win7-x86-zh-cn >/dev/null || exit 1
"$kit/kitsetup" --machine "$work/cn" --script "$scripts/walk_serial_cn.txt" >"$work/cn.txt" 2>&1
echo "exit $?" >>"$work/cn.txt"
expect cn "$work/cn.txt" '=== 打印机驱动安装程序  [dialog 102]'
expect cn "$work/cn.txt" '我接受此协议'
expect cn "$work/cn.txt" 'page 137:'
expect cn "$work/cn.txt" 'install request: model "VRT-D45", series 0, port "KVCOM1:" (kind 0), OS code 7, mode Typical, raster 0, baud 9600, data bits 8, stop bits 1, parity '"'n'"', flow '"'x'"', IP "", default no'
expect cn "$work/cn.txt" 'exit 0'
if grep -q '^!' "$work/cn.txt"; then echo "FAIL cn: refused actions"; grep '^!' "$work/cn.txt"; failures=$((failures + 1)); fi

# Traditional Chinese Windows 8.1 x64: code page 950 texts, Windows 8 on the
# OS page stored as code 7, Advanced mode with four USB ports.
"$vmachine" create "$work/tw" --preset win81-x64-zh-tw >/dev/null || exit 1
"$kit/kitsetup" --machine "$work/tw" --script "$scripts/walk_usb_tw.txt" >"$work/tw.txt" 2>&1
echo "exit $?" >>"$work/tw.txt"
expect tw "$work/tw.txt" '=== 印表機驅動安裝程式  [dialog 102]'
expect tw "$work/tw.txt" 'USB_VRT-L50_4'
expect tw "$work/tw.txt" 'install request: model "VRT-L50", series 2, port "USB_VRT-L50_1" (kind 2), OS code 7, mode Advanced, raster 1,'
expect tw "$work/tw.txt" 'exit 0'
if grep -q '^!' "$work/tw.txt"; then echo "FAIL tw: refused actions"; grep '^!' "$work/tw.txt"; failures=$((failures + 1)); fi

# English Windows 7 x64 without Wow64DisableWow64FsRedirection: the port page
# says so when it reads the installed USB driver's version, and goes on.
"$vmachine" create "$work/nofs" --preset win7-x64-en >/dev/null || exit 1
"$vmachine" set "$work/nofs" missing-proc 'Kernel32.dll!Wow64DisableWow64FsRedirection' || exit 1
"$kit/kitsetup" --machine "$work/nofs" --script "$scripts/walk_net.txt" >"$work/nofs.txt" 2>&1
echo "exit $?" >>"$work/nofs.txt"
expect nofs "$work/nofs.txt" "Can't Get Function Wow64DisableWow64FsRedirection Address"
expect nofs "$work/nofs.txt" 'install request: model "VRT-Q40", series 0, port "NET:" (kind 3), OS code 7,'
expect nofs "$work/nofs.txt" 'exit 0'

if [ "$failures" -ne 0 ]; then
  echo "--- nofs transcript"; cat "$work/nofs.txt"
  echo "--- en transcript"; cat "$work/en.txt"; echo "--- cn transcript"; cat "$work/cn.txt"
  echo "--- tw transcript"; cat "$work/tw.txt"
  exit 1
fi
echo "all four walks passed"
