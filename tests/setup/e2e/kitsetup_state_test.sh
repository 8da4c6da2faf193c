#!/usr/bin/env bash
# Whole installs of the Linux kitsetup on fresh virtual machines, driven by
# console scripts, judged by the machine state they leave: USB with a family
# printer whose id is rewritten, USB in Advanced mode on port 2, a USB class
# printer handed to the USB installer, serial, parallel and TCP/IP, on
# English Windows 7 x64 and Windows XP x86, and USB on simplified-Chinese
# Windows 7 x86. The USB installer started by the wizard is the Linux
# Install on the same machine; each run waits for it to end before the
# machine's state (machine_state.py) is compared with expected/NAME.json.
# Usage: kitsetup_state_test.sh VMACHINE KIT_FOLDER SCRIPT_FOLDER INSTALL [--update]
#   --update writes the states seen into expected/ instead of comparing.
set -u
vmachine=$1 kit=$2 scripts=$3 install=$4 update=${5:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL $1"; failures=$((failures + 1)); }
# How long the USB installer may take, in tenths of a second.
install_wait=600

V=$vmachine
source "$scripts/machine_helpers.sh"

# A fresh machine with the kit's monitors offering their ports, and
# "Install.exe" mapped to the Linux installer through a wrapper that notes
# each end of it.
machine() {  # machine NAME PRESET
  kit_machine "$work/$1" "$2" || exit 1
  map_installer "$work/$1" "$install" "$work/$1-install.sh" "$work/$1/install-ends" || exit 1
}

# Waits until every started USB installer has ended and its window is gone.
installer_ended() {  # installer_ended NAME
  local why
  why=$(wait_for_installer "$work/$1" "$work/$1/install-ends" "$install_wait") || fail "$1: $why"
}

run() {  # run NAME PRESET SCRIPT [plug options ...]
  local name=$1 preset=$2 script=$3
  shift 3
  machine "$name" "$preset"
  if [ $# -gt 0 ]; then "$vmachine" plug "$work/$name" "$@" >/dev/null || exit 1; fi
  local out="$work/$name.txt"
  # The installer the wizard starts writes into the same transcript, also
  # after the wizard ended: every write goes to the end.
  : >"$out"
  "$kit/kitsetup" --machine "$work/$name" --script "$scripts/$script" </dev/null >>"$out" 2>&1
  echo "exit $?" >>"$out"
  installer_ended "$name"
  grep -q '^exit 0$' "$out" || fail "$name: kitsetup failed"
  if grep -q '^!' "$out"; then fail "$name: refused actions: $(grep '^!' "$out" | head -3)"; fi
  if [ -s "$work/$name/install-ends" ] && grep -qv '^0$' "$work/$name/install-ends"; then
    fail "$name: the USB installer ended with $(tr '\n' ' ' <"$work/$name/install-ends")"
  fi
  "$vmachine" show "$work/$name" all --json | python3 "$scripts/machine_state.py" "$work/$name" >"$work/$name.json"
  local expected="$scripts/expected/$name.json"
  if [ "$update" = "--update" ]; then
    cp "$work/$name.json" "$expected"
  elif ! diff -u "$expected" "$work/$name.json" >"$work/$name.diff"; then
    fail "$name: machine state differs from $expected"
    cat "$work/$name.diff"
    echo "--- transcript"
    cat "$out"
  fi
}

# A family printer driven by the maker's driver, reporting id 2; the same
# printer reporting id 0; a USB class printer the print-class library lists.
maker=(--vid 7A5C --pid 1000 --release 2 --kvusb)
maker0=(--vid 7A5C --pid 1000 --release 0 --kvusb)
class=(--vid 7A5C --pid 1105 --release 0 --enum-text 'VRT-Q40(U)1@USB001;' --usbprint-id 'KVROVRT-Q40U1')

for preset in win7-x64-en winxp-x86-en; do
  run "$preset-usb" "$preset" walk_usb_id.txt "${maker[@]}"
  run "$preset-usb-port2" "$preset" walk_usb_port2.txt "${maker0[@]}"
  run "$preset-usb-class" "$preset" walk_usb_class.txt "${class[@]}"
  run "$preset-com" "$preset" walk_com.txt
  run "$preset-lpt" "$preset" walk_lpt.txt
  run "$preset-net" "$preset" walk_net.txt
done
run win7-x86-zh-cn-usb win7-x86-zh-cn walk_usb_id.txt "${maker[@]}"

if [ "$failures" -ne 0 ]; then exit 1; fi
echo "all installs left the expected state"
