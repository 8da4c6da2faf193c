#!/usr/bin/env bash
# check-pe.sh BUILD_DIR ARCH
# check-pe.sh --kit KIT_DIR FLAVOUR     (FLAVOUR: x86 or x64)
# check-pe.sh --self-test               (the import check fails where it must)
# Checks Windows binaries with objdump: the right machine type, no DLL imports
# beyond the system's own (the kit ships no runtime DLLs), and the COM
# exports and manifest resource of the UI plug-in, and the version resource
# of the kit's programs and DLL (the version of kit/VERSION).
# In a build folder every binary must be of ARCH. In a kit folder the machine
# type follows the place: PE32 (i686) in W32\ and USBDRV\USBDriver\, PE32+
# (x86_64) in W64\ and USBDRV\USBDriver_x64\, the flavour's elsewhere; there
# the plug-in of both payload folders is checked, and kitsetup, Uninstall and
# Install must carry a manifest that asks for administrator rights.
# The shipped modules (all of a kit; kitsetup, Uninstall, Install, VRTQ40UI
# and the USB stand-ins of a build) import no function newer than the oldest
# Windows of their bitness, and the i686 ones hold no SSE instruction
# (check_imports.py, with its table of the systems' functions).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

if [ "${1:-}" = --self-test ]; then
  # One module per failure the check must report, and one it must pass.
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  printf '#include <windows.h>\nint main(void) { return (int)GetTickCount64(); }\n' >"$work/newer.c"
  printf '#include <windows.h>\nint main(void) { return (int)GetTickCount(); }\n' >"$work/older.c"
  printf 'double scale(double v, int n) { return v * n / 3.0; }\nint main(void) { return (int)scale(7.0, 2); }\n' >"$work/sse.c"
  failed=0
  expect() {  # expect STATUS PATTERN OBJDUMP FILE
    local out status=0
    out=$(python3 "$here/check_imports.py" "$3" "$4") || status=$?
    if [ "$status" -ne "$1" ] || ! grep -q -- "$2" <<<"$out"; then
      echo "check-pe self-test: $4 gave status $status, wanted $1 and \"$2\": $out"; failed=1
    fi
  }
  x86_64-w64-mingw32-gcc -O2 -o "$work/newer64.exe" "$work/newer.c"
  expect 1 'kernel32.dll!GetTickCount64, which needs Windows Vista; Windows XP x64 / Server 2003 x64 lacks it' \
    x86_64-w64-mingw32-objdump "$work/newer64.exe"
  i686-w64-mingw32-gcc -O2 -march=i686 -o "$work/newer32.exe" "$work/newer.c"
  expect 1 'GetTickCount64, which needs Windows Vista; Windows 2000 lacks it' i686-w64-mingw32-objdump "$work/newer32.exe"
  i686-w64-mingw32-gcc -O2 -msse2 -mfpmath=sse -o "$work/sse32.exe" "$work/sse.c"
  expect 1 'SSE instructions' i686-w64-mingw32-objdump "$work/sse32.exe"
  i686-w64-mingw32-gcc -O2 -march=i686 -o "$work/older32.exe" "$work/older.c"
  expect 0 '' i686-w64-mingw32-objdump "$work/older32.exe"
  [ $failed -eq 0 ] && echo "check-pe self-test: passed"
  exit $failed
fi

if [ "${1:-}" = --kit ]; then
  mode=kit dir=$2
  case $3 in
    x86) arch=i686 ;;
    x64) arch=x86_64 ;;
    *) echo "check-pe: unknown flavour $3 (x86 or x64)" >&2; exit 2 ;;
  esac
else
  mode=build dir=$1 arch=$2
fi

objdump_of() {
  case $1 in
    i686)   echo i686-w64-mingw32-objdump ;;
    x86_64) echo x86_64-w64-mingw32-objdump ;;
    *) echo "check-pe: unknown arch $1" >&2; exit 2 ;;
  esac
}
format_of() {
  case $1 in
    i686)   echo 'file format pei-i386' ;;
    x86_64) echo 'file format pei-x86-64' ;;
  esac
}
objdump_of "$arch" >/dev/null

# DLLs a shipped binary may import: Windows' own.
allowed='^((kernel32|user32|gdi32|advapi32|shell32|shlwapi|ole32|oleaut32|comctl32|comdlg32|setupapi|newdev|cfgmgr32|version|msvcrt|ucrtbase|api-ms-win-.*|ws2_32|uxtheme|msimg32|imm32|rpcrt4|winmm|bcrypt|crypt32)\.dll|winspool\.drv)$'

# The machine type a file of the kit must have, by its folder (names compare
# without case, as Windows looks them up).
arch_of_place() {
  local relative lower
  relative=${1#"$dir"/}
  lower=$(tr 'A-Z' 'a-z' <<<"$relative")
  case $lower in
    w32/*|usbdrv/usbdriver/*)     echo i686 ;;
    w64/*|usbdrv/usbdriver_x64/*) echo x86_64 ;;
    *)                            echo "$arch" ;;
  esac
}

# Whether objdump's resource listing holds resource type 24 (RT_MANIFEST)
# with name `id`. objdump indents type entries by three spaces and name
# entries by five.
has_manifest() {
  awk -v id="$2" '/^[0-9a-f]+   Entry: ID: /     { in_manifest = ($4 == "0x000018,") }
                  /^[0-9a-f]+     Entry: ID: / { if (in_manifest && $4 == id ",") found = 1 }
                  END { exit found ? 0 : 1 }' <<<"$1"
}

status=0
checked=0
check_exports() {
  local plugin=$1 exports=$2
  for sym in DllGetClassObject DllCanUnloadNow; do
    if ! grep -Eq "\]\s+_?$sym(@[0-9]+)?$" <<<"$exports"; then
      echo "check-pe: $plugin does not export $sym"; status=1
    fi
  done
}
check_plugin() {
  local plugin=$1 exports
  exports=$($2 -p "$plugin" 2>/dev/null || true)
  check_exports "$plugin" "$exports"
  # Its own manifest, the source of its pages' activation context: id 2
  # (ISOLATIONAWARE_MANIFEST_RESOURCE_ID).
  if ! has_manifest "$exports" 0x000002; then
    echo "check-pe: $plugin carries no manifest resource 2"; status=1
  fi
}

while IFS= read -r -d '' f; do
  case $f in */_googletest/*|*/CMakeFiles/*|*/wineprefix*/*|*/tests/*/work*/*) continue ;; esac
  # The kit folder's placeholder payload (text files named as the driver's
  # DLLs) is no build output: only PE images ("MZ") are checked.
  [ "$(head -c 2 "$f")" = "MZ" ] || continue
  checked=$((checked + 1))
  want_arch=$arch
  [ $mode = kit ] && want_arch=$(arch_of_place "$f")
  objdump=$(objdump_of "$want_arch")
  # Read objdump's whole output first: with pipefail, grep -q closing the
  # pipe early would fail objdump and so the check.
  header=$($objdump -f "$f" 2>/dev/null || true)
  if ! grep -q "$(format_of "$want_arch")" <<<"$header"; then
    echo "check-pe: $f is not $want_arch"; status=1
  fi
  # One pass over the import list (a build folder holds a hundred images).
  while read -r dll; do
    echo "check-pe: $f imports $dll"; status=1
  done < <($objdump -p "$f" 2>/dev/null | sed -n 's/^\s*DLL Name: //p' | grep -Eiv "$allowed" || true)
done < <(find "$dir" -type f \( -iname '*.exe' -o -iname '*.dll' \) -print0)

if [ $mode = build ]; then
  plugin=$(find "$dir" -type f -iname 'VRTQ40UI.dll' | head -n 1)
  [ -z "$plugin" ] || check_plugin "$plugin" "$(objdump_of "$arch")"
else
  for payload in W32:i686 W64:x86_64; do
    plugin=$(find "$dir" -maxdepth 2 -ipath "$dir/${payload%%:*}/VRTQ40UI.dll" -type f | head -n 1)
    if [ -z "$plugin" ]; then
      echo "check-pe: no ${payload%%:*}\\VRTQ40UI.DLL in $dir"; status=1
    else
      check_plugin "$plugin" "$(objdump_of "${payload#*:}")"
    fi
    # The receipt model's rendering side: the rendering plug-in a PE image
    # with the two COM entries, its data files and plug-in list no stand-ins.
    folder=$dir/${payload%%:*}
    renderer=$(find "$folder" -maxdepth 1 -iname 'VRTQ40R.dll' -type f | head -n 1)
    if [ -z "$renderer" ] || [ "$(head -c 2 "$renderer")" != "MZ" ]; then
      echo "check-pe: ${payload%%:*}\\VRTQ40R.DLL is no rendering plug-in"; status=1
    else
      check_exports "$renderer" "$($(objdump_of "${payload#*:}") -p "$renderer" 2>/dev/null || true)"
    fi
    # The serial port monitor: an image the spooler can initialise.
    monitor=$(find "$folder" -maxdepth 1 -iname 'KVRCOMMON.dll' -type f | head -n 1)
    if [ -z "$monitor" ] || [ "$(head -c 2 "$monitor")" != "MZ" ]; then
      echo "check-pe: ${payload%%:*}\\KVRCOMMON.DLL is no port monitor"; status=1
    elif ! grep -Eq '\]\s+InitializePrintMonitor2$' <<<"$($(objdump_of "${payload#*:}") -p "$monitor" 2>/dev/null || true)"; then
      echo "check-pe: ${payload%%:*}\\KVRCOMMON.DLL does not export InitializePrintMonitor2"; status=1
    fi
    for data in VRTQ40G.GPD VRTQ40S.GPD VRTQ40.INI; do
      file=$(find "$folder" -maxdepth 1 -iname "$data" -type f | head -n 1)
      if [ -z "$file" ] || grep -q '^placeholder' "$file"; then
        echo "check-pe: ${payload%%:*}\\$data is a stand-in"; status=1
      fi
    done
    # Its print processor: the system's (no file named), or an image of the
    # kit's own in the payload folder, never a stand-in.
    series=$dir/DRVCONFIG/setup_receipt.ini
    [ "${payload%%:*}" = W64 ] && series=$dir/DRVCONFIG/setup_receipt_64.ini
    if [ ! -f "$series" ]; then
      echo "check-pe: no DRVCONFIG\\$(basename "$series") in $dir"; status=1
    else
      while read -r processor; do
        [ "$processor" = 0 ] && continue
        file=$(find "$folder" -maxdepth 1 -iname "$processor" -type f | head -n 1)
        if [ -z "$file" ] || [ "$(head -c 2 "$file")" != "MZ" ]; then
          echo "check-pe: ${payload%%:*}\\$processor is no print processor image"; status=1
        fi
      done < <(tr -d '\r' <"$series" |
               awk -F= '/^\[/ { model = ($0 ~ /^\[VRT-Q40\./) } model && $1 ~ /^(GDI|STD)ProcessorDLLName$/ { print $2 }' |
               sort -u)
    fi
  done
  # The three programs run with administrator rights: their application
  # manifest (id 1, CREATEPROCESS_MANIFEST_RESOURCE_ID) asks for them.
  while IFS= read -r -d '' program; do
    resources=$($(objdump_of "$(arch_of_place "$program")") -p "$program" 2>/dev/null || true)
    if ! has_manifest "$resources" 0x000001 || ! grep -aq 'level="requireAdministrator"' "$program"; then
      echo "check-pe: $program does not ask for administrator rights"; status=1
    fi
  done < <(find "$dir" -type f \( -iname 'kitsetup.exe' -o -iname 'Uninstall.exe' -o -iname 'Install.exe' \) -print0)
  for program in kitsetup.exe Uninstall.exe; do
    [ -n "$(find "$dir" -maxdepth 1 -iname "$program" -type f)" ] || { echo "check-pe: no $program in $dir"; status=1; }
  done
fi
# The artwork each module carries, drawn at build time: group icons (resource
# type 14, RT_GROUP_ICON) and bitmaps (type 2, RT_BITMAP), by numeric id.
# resource_ids LISTING TYPE prints the ids of the resources of TYPE in
# LISTING, objdump -p's output of one module (read once a module), as objdump
# writes them (0x and six hexadecimal digits: hex_id ID).
resource_ids() {
  # objdump indents type entries by three spaces and name entries by five;
  # ids are printed as 0x-prefixed hexadecimal.
  awk -v type="$(printf '0x%06x,' "$2")" \
      '/^[0-9a-f]+   Entry: ID: /     { in_type = ($4 == type) }
       /^[0-9a-f]+     Entry: ID: / { if (in_type) { id = $4; sub(",", "", id); print id } }' <<<"$1"
}
hex_id() { printf '0x%06x' "$1"; }
kit_version=$(head -n 1 "$(dirname "$0")/../kit/VERSION")
declare -A artwork=(
  [kitsetup.exe]="14:128"
  [install.exe]="14:128"
  [uninstall.exe]="14:128 14:130"
  [vrtq40ui.dll]="14:125 14:126 14:127 $(for id in $(seq 136 149); do printf '2:%d ' "$id"; done)"
)
modules=0
for name in "${!artwork[@]}"; do
  while IFS= read -r -d '' f; do
    modules=$((modules + 1))
    listing=$($(objdump_of "$(arch_of_place "$f")") -p "$f" 2>/dev/null || true)
    # The version resource (type 16, RT_VERSION, id 1) with the kit's version
    # as its FileVersion text (the key, its padding, then the value, UTF-16).
    if ! grep -qx "$(hex_id 1)" <<<"$(resource_ids "$listing" 16)" ||
       ! python3 -c 'import sys; sys.exit(("FileVersion\0\0" + sys.argv[2]).encode("utf-16-le")
                                           not in open(sys.argv[1], "rb").read())' "$f" "$kit_version.0"; then
      echo "check-pe: $f carries no version resource of the kit's version $kit_version"; status=1
    fi
    for want in ${artwork[$name]}; do
      ids=$(resource_ids "$listing" "${want%%:*}")
      if ! grep -qx "$(hex_id "${want#*:}")" <<<"$ids"; then
        echo "check-pe: $f lacks resource ${want#*:} of type ${want%%:*}"; status=1
      fi
    done
  # Not the tests' scratch folders (the MSI test's stand-in kits of other versions).
  done < <(find "$dir" -type f -iname "$name" -not -path '*/wineprefix*/*' -not -path '*/tests/*/work*/*' -print0)
done
if [ "$modules" -eq 0 ]; then
  echo "check-pe: none of the kit's modules found in $dir"; status=1
fi

# Imported functions and, for i686, the instruction set of the shipped
# modules.
shipped=()
while IFS= read -r -d '' f; do
  case $f in */_googletest/*|*/CMakeFiles/*|*/wineprefix*/*|*/tests/*/work*/*) continue ;; esac
  [ "$(head -c 2 "$f")" = "MZ" ] || continue
  shipped+=("$f")
done < <(if [ $mode = kit ]; then
           find "$dir" -type f \( -iname '*.exe' -o -iname '*.dll' \) -print0
         else
           find "$dir" -type f \( -iname kitsetup.exe -o -iname Uninstall.exe -o -iname Install.exe \
             -o -iname VRTQ40UI.dll -o -iname KvUsbInt.dll -o -iname USBPrintDll.dll \) -print0
         fi)
# One run of the checker for each machine type's modules.
declare -A shipped_of=()
for f in ${shipped[@]+"${shipped[@]}"}; do
  want_arch=$arch
  [ $mode = kit ] && want_arch=$(arch_of_place "$f")
  shipped_of[$want_arch]+="$f"$'\n'
done
for want_arch in "${!shipped_of[@]}"; do
  mapfile -t modules_of < <(printf '%s' "${shipped_of[$want_arch]}")
  python3 "$here/check_imports.py" "$(objdump_of "$want_arch")" "${modules_of[@]}" || status=1
done

echo "check-pe: $checked binaries in $dir checked, artwork of $modules modules, imports of ${#shipped[@]} modules"
exit $status
