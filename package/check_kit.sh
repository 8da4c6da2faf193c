#!/usr/bin/env bash
# check_kit.sh KITLAYOUT PACKAGE_DIR FLAVOUR...
# Checks the flavours make_kit.py laid out in PACKAGE_DIR: the layout test
# (every file the programs open, nothing else) on each, and for the Windows
# flavours the binaries by place (scripts/check-pe.sh --kit).
# Until the USB hand-off's stand-in libraries are targets of the build, the
# kit has no USBDRV folder and no USB libraries, and the layout test leaves
# them out; from then on it demands them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kitlayout=$1 package=$2
shift 2
usb=()
if ! grep -rqsE --include=CMakeLists.txt '(add_library|kit_[a-z_]+)\(KvUsbInt\b' "$root/setup" "$root/usbinstall" \
     "$root/platform" "$root/tools" 2>/dev/null; then
  usb=(--without-usb)
  echo "check_kit: the build has no USB stand-in libraries yet: USBDRV and the USB libraries left out"
fi
status=0
for flavour in "$@"; do
  "$kitlayout" check "$package/$flavour" "$flavour" "${usb[@]}" || status=1
  case $flavour in
    x86|x64) bash "$root/scripts/check-pe.sh" --kit "$package/$flavour" "$flavour" || status=1 ;;
  esac
done
exit $status
