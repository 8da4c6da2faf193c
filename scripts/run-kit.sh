#!/usr/bin/env bash
# Sets up a Debian machine, builds the Linux programs (all of the README's
# table), lays out the kit's linux flavour, and runs the kit's main job: the
# setup wizard on a fresh virtual Windows machine, in the terminal (the first
# steps of the README's walkthrough).
#
#   bash scripts/run-kit.sh [PRESET]
#
# PRESET is a machine preset of the vmachine tool (default win7-x64-en; for
# example win7-x86-zh-cn for simplified Chinese, win81-x64-zh-tw for
# traditional Chinese). Type "help" at the prompt for the actions.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-win7-x64-en}
bash scripts/setup-deps.sh
cmake --preset linux-release >/dev/null
# Every program of the README's table (the wizard with its kit folder), so
# that all of them are there after this command; the build is incremental.
programs=(kitsetup_package Install Uninstall vmachine printui_sheets printui_host kvlogo kvjob)
log=$(mktemp /tmp/kit-build.XXXXXX)
if ! cmake --build --preset linux-release --target "${programs[@]}" >"$log" 2>&1; then
  tail -n 40 "$log" >&2
  echo "run-kit: the build failed; its whole output is in $log" >&2
  exit 1
fi
rm -f "$log"
python3 package/make_kit.py linux >/dev/null

bin=build/linux-release
kit=build/package/linux
machine=$(mktemp -d /tmp/kit-machine.XXXXXX)
vmachine=$bin/tools/vmachine/vmachine
"$vmachine" create "$machine/machine" --preset "$preset"
# The kit's monitors are loaded as on Windows when the install adds them
# (their Linux builds in the kit folder): the serial one's ports are KVCOM1:
# to KVCOM8:, the USB one's the install's records. The maker's KvUsbInt.dll
# is in the system folder beside where the USB monitor goes, as on a till
# that prints on USB_ ports (the machine answers its calls).
"$vmachine" put "$machine/machine" "$kit/KvUsbInt.dll" 'C:\Windows\system32\KvUsbInt.dll' >/dev/null
# The state before the kit, to compare with after an uninstall.
"$vmachine" snapshot "$machine/machine" "$machine/before" >/dev/null
# A family USB printer is plugged in, reporting id 2 (port 3), so that a USB
# install asks to give it the id of the chosen port; the USB installer the
# wizard starts ("Install.exe" of the kit) is the Linux Install on this
# machine.
"$vmachine" plug "$machine/machine" --vid 7A5C --pid 1000 --release 2 --kvusb >/dev/null
"$vmachine" program "$machine/machine" Install.exe "$PWD/$bin/usbinstall/Install" >/dev/null
echo "The virtual machine is in $machine/machine (inspect it with $vmachine show)."
echo "A family USB printer reporting id 2 is plugged in; unplug it with $vmachine unplug."
echo "After an uninstall ($kit/Uninstall --machine $machine/machine --kit $kit),"
echo "$vmachine diff $machine/before $machine/machine lists what changed."
exec "$kit/kitsetup" --machine "$machine/machine"
