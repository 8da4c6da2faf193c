#!/usr/bin/env bash
# check-pe.sh BUILD_DIR ARCH
# check-pe.sh --kit KIT_DIR FLAVOUR     (FLAVOUR: x86 or x64)
# check-pe.sh --self-test               (the import check fails where it must)
# Checks Windows binaries with objdump: the right machine type, no DLL imports
# beyond the system's own (the kit ships no runtime DLLs), and the COM
# exports and manifest resource of the UI plug-in, and the version resource
# of every shipped module (the version of kit/VERSION).
# In a build folder every binary must be of ARCH. In a kit folder the machine
# type follows the place: PE32 (i686) in W32\ and USBDRV\USBDriver\, PE32+
# (x86_64) in W64\ and USBDRV\USBDriver_x64\, the flavour's elsewhere; there
# the plug-in of both payload folders is checked, and kitsetup, Uninstall and
# Install must carry a manifest that asks for administrator rights.
# The shipped modules (every PE image of a kit; of a build, every one of the
# kit folder it lays out, kit/) import no DLL and no function the oldest
# Windows of their bitness lacks, and the i686 ones hold no SSE instruction
# (check_imports.py, with its tables of the systems' DLLs and functions; a
# build's images are scanned with their symbols).
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
  expect() {  # expect STATUS PATTERN [--stripped skip] OBJDUMP FILE
    local out status=0
    out=$(python3 "$here/check_imports.py" "${@:3}") || status=$?
    if [ "$status" -ne "$1" ] || ! grep -q -- "$2" <<<"$out"; then
      echo "check-pe self-test: ${*: -1} gave status $status, wanted $1 and \"$2\": $out"; failed=1
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
  # A DLL the oldest system lacks: uxtheme.dll (XP) in a 32-bit module,
  # bcrypt.dll (Vista) in a 64-bit one; uxtheme in a 64-bit module passes.
  printf '#include <windows.h>\n#include <uxtheme.h>\nint main(void) { return IsThemeActive(); }\n' >"$work/theme.c"
  printf '#include <windows.h>\n#include <bcrypt.h>\nint main(void) { return (int)BCryptCloseAlgorithmProvider(0, 0); }\n' \
    >"$work/bcrypt.c"
  i686-w64-mingw32-gcc -O2 -march=i686 -o "$work/theme32.exe" "$work/theme.c" -luxtheme
  expect 1 'imports uxtheme.dll, which Windows 2000 does not have' i686-w64-mingw32-objdump "$work/theme32.exe"
  x86_64-w64-mingw32-gcc -O2 -o "$work/theme64.exe" "$work/theme.c" -luxtheme
  expect 0 '' x86_64-w64-mingw32-objdump "$work/theme64.exe"
  x86_64-w64-mingw32-gcc -O2 -o "$work/bcrypt64.exe" "$work/bcrypt.c" -lbcrypt
  expect 1 'imports bcrypt.dll, which Windows XP x64 / Server 2003 x64 does not have' \
    x86_64-w64-mingw32-objdump "$work/bcrypt64.exe"
  # AddVectoredContinueHandler: Vista, and the x64 edition of XP.
  printf '#include <windows.h>\nint main(void) { return AddVectoredContinueHandler(0, 0) != 0; }\n' >"$work/continue.c"
  i686-w64-mingw32-gcc -O2 -march=i686 -o "$work/continue32.exe" "$work/continue.c"
  expect 1 'AddVectoredContinueHandler, which needs Windows Vista; Windows 2000 lacks it' \
    i686-w64-mingw32-objdump "$work/continue32.exe"
  x86_64-w64-mingw32-gcc -O2 -o "$work/continue64.exe" "$work/continue.c"
  expect 0 '' x86_64-w64-mingw32-objdump "$work/continue64.exe"
  # msvcrt's secure functions: Vista's msvcrt.dll.
  printf '#include <string.h>\nint main(int c, char** v) { char b[8]; return strcpy_s(b, sizeof b, v[0]) + c; }\n' \
    >"$work/secure.c"
  i686-w64-mingw32-gcc -O2 -march=i686 -o "$work/secure32.exe" "$work/secure.c"
  expect 1 'msvcrt.dll!strcpy_s, which needs Windows Vista' i686-w64-mingw32-objdump "$work/secure32.exe"
  # One of XP's msvcrt.dll that Windows 2000's lacks, imported through an
  # import library of its own (the toolchain's runtime avoids it).
  printf 'LIBRARY msvcrt.dll\nEXPORTS\n_vscwprintf\n' >"$work/crt.def"
  i686-w64-mingw32-dlltool -d "$work/crt.def" -l "$work/libcrt.a" -k
  printf 'int _vscwprintf(const void*, void*);\nint main(int c, char** v) { return _vscwprintf(v[0], 0) + c; }\n' \
    >"$work/vsc.c"
  i686-w64-mingw32-gcc -O2 -march=i686 -o "$work/vsc32.exe" "$work/vsc.c" "$work/libcrt.a"
  expect 1 'msvcrt.dll!_vscwprintf, which needs Windows XP; Windows 2000 lacks it' \
    i686-w64-mingw32-objdump "$work/vsc32.exe"
  # Imports by ordinal: comctl32's 410 is SetWindowSubclass, which Windows
  # 2000's ComCtl32 exports by that ordinal; an ordinal no table names fails.
  printf 'LIBRARY comctl32.dll\nEXPORTS\nSetWindowSubclass@16 @410 NONAME\nUnnamedThing@0 @999 NONAME\n' >"$work/ord.def"
  i686-w64-mingw32-dlltool -d "$work/ord.def" -l "$work/libord.a" -k
  printf 'int __stdcall SetWindowSubclass(void*, void*, unsigned, unsigned long);\nint __stdcall UnnamedThing(void);\n' \
    >"$work/ordinal.c"
  printf 'int main(int c, char** v) { return SetWindowSubclass(v, 0, 0, 0) + (c > 5 ? UnnamedThing() : 0); }\n' \
    >>"$work/ordinal.c"
  i686-w64-mingw32-gcc -O2 -march=i686 -o "$work/ordinal32.exe" "$work/ordinal.c" "$work/libord.a"
  expect 1 'imports comctl32.dll ordinal 999, which no table names' i686-w64-mingw32-objdump "$work/ordinal32.exe"
  printf 'int __stdcall SetWindowSubclass(void*, void*, unsigned, unsigned long);\n' >"$work/subclass.c"
  printf 'int main(int c, char** v) { return SetWindowSubclass(v, 0, 0, 0) + c; }\n' >>"$work/subclass.c"
  i686-w64-mingw32-gcc -O2 -march=i686 -o "$work/subclass32.exe" "$work/subclass.c" "$work/libord.a"
  expect 0 '' i686-w64-mingw32-objdump "$work/subclass32.exe"
  # A stripped i686 image cannot be scanned: it fails, unless passed over.
  i686-w64-mingw32-strip -o "$work/stripped32.exe" "$work/older32.exe"
  expect 1 'has no symbols' i686-w64-mingw32-objdump "$work/stripped32.exe"
  expect 0 '1 stripped i686 images passed over' --stripped skip i686-w64-mingw32-objdump "$work/stripped32.exe"
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
    folder=$dir/${payload%%:*}
    # The kit's monitors (serial port, USB port, language monitor) and the
    # two port dialog modules: images the spooler or its callers can
    # initialise, never stand-ins.
    for entry in KVRCOMMON:InitializePrintMonitor2 KVRUSBMON:InitializePrintMonitor2 \
                 KVRLMON:InitializePrintMonitor2 KVRCOMUI:InitializePrintMonitorUI KVRUSBUI:InitializePrintMonitorUI; do
      name=${entry%%:*} entry_point=${entry#*:}
      monitor=$(find "$folder" -maxdepth 1 -iname "$name.dll" -type f | head -n 1)
      if [ -z "$monitor" ] || [ "$(head -c 2 "$monitor")" != "MZ" ]; then
        echo "check-pe: ${payload%%:*}\\$name.DLL is no monitor image"; status=1
      elif ! grep -Eq "\]\s+$entry_point\$" <<<"$($(objdump_of "${payload#*:}") -p "$monitor" 2>/dev/null || true)"; then
        echo "check-pe: ${payload%%:*}\\$name.DLL does not export $entry_point"; status=1
      fi
    done
    # Every series' rendering side, as its series file names it: each
    # model's rendering plug-in (DataOemuniDLL) a PE image with the two COM
    # entries, its data files (DataFile) and plug-in list (DataOemuniini) no
    # stand-ins, and the list naming that plug-in.
    suffix=; [ "${payload%%:*}" = W64 ] && suffix=_64
    for name in setup_receipt setup_Ticket setup_Label setup_Embedded; do
      series=$dir/DRVCONFIG/$name$suffix.ini
      if [ ! -f "$series" ]; then
        echo "check-pe: no DRVCONFIG\\$name$suffix.ini in $dir"; status=1; continue
      fi
      while IFS='|' read -r renderer list; do
        file=$(find "$folder" -maxdepth 1 -iname "$renderer" -type f | head -n 1)
        if [ -z "$file" ] || [ "$(head -c 2 "$file")" != "MZ" ]; then
          echo "check-pe: ${payload%%:*}\\$renderer is no rendering plug-in"; status=1
        else
          check_exports "$file" "$($(objdump_of "${payload#*:}") -p "$file" 2>/dev/null || true)"
        fi
        file=$(find "$folder" -maxdepth 1 -iname "$list" -type f | head -n 1)
        if [ -z "$file" ] || ! tr -d '\r' <"$file" | grep -qix "OEMDriverFile1=$renderer"; then
          echo "check-pe: ${payload%%:*}\\$list names no $renderer"; status=1
        fi
      done < <(tr -d '\r' <"$series" |
               awk -F= '/^\[/ { split($0, n, "."); model = n[1] }
                        $1 ~ /^(GDI|STD)DataOemuniDLL$/ { dll[model] = $2 }
                        $1 ~ /^(GDI|STD)DataOemuniini$/ && dll[model] != "0" && dll[model] != "" { print dll[model] "|" $2 }' |
               sort -u)
      while read -r data; do
        file=$(find "$folder" -maxdepth 1 -iname "$data" -type f | head -n 1)
        if [ -z "$file" ] || grep -q '^placeholder' "$file"; then
          echo "check-pe: ${payload%%:*}\\$data is a stand-in"; status=1
        fi
      done < <(tr -d '\r' <"$series" | awk -F= '$1 ~ /^(GDI|STD)DataFile$/ && $2 != "0" { print $2 }' | sort -u)
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
# The shipped modules: every PE image of a kit folder; in a build folder,
# every one of the kit folder the build lays out (kit/), whatever its name.
shipped=()
kit_root=$dir
[ $mode = build ] && kit_root=$dir/kit
if [ ! -d "$kit_root" ]; then
  echo "check-pe: no kit folder $kit_root (the build lays it out: kitsetup_package)"; status=1
else
  while IFS= read -r -d '' f; do
    # The maker's placeholders (text files under the module names) are no
    # build output: only PE images ("MZ") ship from the build.
    [ "$(head -c 2 "$f")" = "MZ" ] || continue
    shipped+=("$f")
  done < <(find "$kit_root" -type f \( -iname '*.exe' -o -iname '*.dll' \) -print0)
fi
# The version resource (type 16, RT_VERSION, id 1) of every shipped module,
# with the kit's version as its FileVersion text (the key, its padding, then
# the value, UTF-16).
kit_version=$(head -n 1 "$(dirname "$0")/../kit/VERSION")
for f in ${shipped[@]+"${shipped[@]}"}; do
  want_arch=$arch
  [ $mode = kit ] && want_arch=$(arch_of_place "$f")
  listing=$($(objdump_of "$want_arch") -p "$f" 2>/dev/null || true)
  if ! grep -qx "$(hex_id 1)" <<<"$(resource_ids "$listing" 16)" ||
     ! python3 -c 'import sys; sys.exit(("FileVersion\0\0" + sys.argv[2]).encode("utf-16-le")
                                         not in open(sys.argv[1], "rb").read())' "$f" "$kit_version.0"; then
    echo "check-pe: $f carries no version resource of the kit's version $kit_version"; status=1
  fi
done

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
# modules: one run of the checker for each machine type's modules.
declare -A shipped_of=()
for f in ${shipped[@]+"${shipped[@]}"}; do
  want_arch=$arch
  [ $mode = kit ] && want_arch=$(arch_of_place "$f")
  shipped_of[$want_arch]+="$f"$'\n'
done
for want_arch in "${!shipped_of[@]}"; do
  mapfile -t modules_of < <(printf '%s' "${shipped_of[$want_arch]}")
  # A kit's images are stripped: their instructions were scanned in the
  # build output they were made from; a build output must have its symbols.
  stripped=fail
  [ $mode = kit ] && stripped=skip
  python3 "$here/check_imports.py" --stripped $stripped "$(objdump_of "$want_arch")" "${modules_of[@]}" || status=1
done

echo "check-pe: $checked binaries in $dir checked, artwork of $modules modules, imports of ${#shipped[@]} modules"
exit $status
