#!/usr/bin/env bash
# check-pe.sh BUILD_DIR ARCH
# Checks the Windows binaries of a build folder with objdump: the right machine
# type, no DLL imports beyond the system's own (the kit ships no runtime DLLs),
# and the COM exports and manifest resource of the UI plug-in.
set -euo pipefail
dir=$1 arch=$2
case $arch in
  i686)   objdump=i686-w64-mingw32-objdump;   want='file format pei-i386' ;;
  x86_64) objdump=x86_64-w64-mingw32-objdump; want='file format pei-x86-64' ;;
  *) echo "check-pe: unknown arch $arch" >&2; exit 2 ;;
esac

# DLLs a shipped binary may import: Windows' own.
allowed='^((kernel32|user32|gdi32|advapi32|shell32|shlwapi|ole32|oleaut32|comctl32|comdlg32|setupapi|newdev|cfgmgr32|version|msvcrt|ucrtbase|api-ms-win-.*|ws2_32|uxtheme|msimg32|imm32|rpcrt4|winmm|bcrypt|crypt32)\.dll|winspool\.drv)$'

status=0
checked=0
while IFS= read -r -d '' f; do
  case $f in */_googletest/*|*/CMakeFiles/*|*/wineprefix/*) continue ;; esac
  # The kit folder's placeholder payload (text files named as the driver's
  # DLLs) is no build output: only PE images ("MZ") are checked.
  [ "$(head -c 2 "$f")" = "MZ" ] || continue
  checked=$((checked + 1))
  # Read objdump's whole output first: with pipefail, grep -q closing the
  # pipe early would fail objdump and so the check.
  header=$($objdump -f "$f")
  if ! grep -q "$want" <<<"$header"; then
    echo "check-pe: $f is not $arch"; status=1
  fi
  while read -r dll; do
    if ! printf '%s\n' "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$allowed"; then
      echo "check-pe: $f imports $dll"; status=1
    fi
  done < <($objdump -p "$f" | sed -n 's/^\s*DLL Name: //p')
done < <(find "$dir" -type f \( -iname '*.exe' -o -iname '*.dll' \) -print0)

plugin=$(find "$dir" -type f -iname 'VRTQ40UI.dll' | head -n 1)
if [ -n "$plugin" ]; then
  exports=$($objdump -p "$plugin")
  for sym in DllGetClassObject DllCanUnloadNow; do
    if ! grep -Eq "\]\s+_?$sym(@[0-9]+)?$" <<<"$exports"; then
      echo "check-pe: $plugin does not export $sym"; status=1
    fi
  done
  # Its own manifest, the source of its pages' activation context: resource
  # type 24 (RT_MANIFEST), id 2 (ISOLATIONAWARE_MANIFEST_RESOURCE_ID).
  # objdump indents type entries by three spaces and name entries by five.
  manifest=$(awk '/^[0-9a-f]+   Entry: ID: /     { in_manifest = ($4 == "0x000018,") }
                  /^[0-9a-f]+     Entry: ID: / { if (in_manifest && $4 == "0x000002,") found = 1 }
                  END { print found ? "yes" : "no" }' <<<"$exports")
  if [ "$manifest" != yes ]; then
    echo "check-pe: $plugin carries no manifest resource 2"; status=1
  fi
fi
# The artwork each module carries, drawn at build time: group icons (resource
# type 14, RT_GROUP_ICON) and bitmaps (type 2, RT_BITMAP), by numeric id.
# resource_ids FILE TYPE prints the ids of FILE's resources of TYPE.
resource_ids() {
  local listing id
  listing=$($objdump -p "$1")
  # objdump indents type entries by three spaces and name entries by five;
  # ids are printed as 0x-prefixed hexadecimal.
  while read -r id; do
    echo $((id))
  done < <(awk -v type="$(printf '0x%06x,' "$2")" \
             '/^[0-9a-f]+   Entry: ID: /     { in_type = ($4 == type) }
              /^[0-9a-f]+     Entry: ID: / { if (in_type) { id = $4; sub(",", "", id); print id } }' <<<"$listing")
}
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
    for want in ${artwork[$name]}; do
      ids=$(resource_ids "$f" "${want%%:*}")
      if ! grep -qx "${want#*:}" <<<"$ids"; then
        echo "check-pe: $f lacks resource ${want#*:} of type ${want%%:*}"; status=1
      fi
    done
  done < <(find "$dir" -type f -iname "$name" -not -path '*/wineprefix/*' -print0)
done
if [ "$modules" -eq 0 ]; then
  echo "check-pe: none of the kit's modules found in $dir"; status=1
fi

echo "check-pe: $checked $arch binaries in $dir checked, artwork of $modules modules"
exit $status
