#!/usr/bin/env bash
# make_kit_test.sh MAKE_KIT WORK
# The packaging command on stand-in builds below a path with spaces: each
# flavour takes the other bitness's parts from the other build; the zips
# are the same bytes on a second run, sorted, with fixed times, and their
# file lists hold path, size and SHA-256; a missing build output stops the
# run with its path named and leaves every earlier output as it was; the
# USB folder, once one build lays it out, is demanded of both.
set -euo pipefail
make_kit=$1
work="$2/builds with spaces"
rm -rf "$2"
mkdir -p "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

lay() {  # lay BUILD FILE... : stand-in build outputs in BUILD/kit
  local build=$1; shift
  for f in "$@"; do mkdir -p "$(dirname "$work/$build/kit/$f")"; echo "$build $f" > "$work/$build/kit/$f"; done
}
common=(DRVCONFIG/setup.ini language/setup_EN.ini License_EN.txt)
lay mingw-x86 kitsetup.exe Uninstall.exe "${common[@]}" W32/VRTQ40UI.DLL W64/VRTQ40R.DLL
lay mingw-x64 kitsetup.exe Uninstall.exe "${common[@]}" W64/VRTQ40UI.DLL W32/VRTQ40R.DLL
lay linux-release kitsetup Uninstall "${common[@]}" W32/VRTQ40UI.DLL W64/VRTQ40UI.DLL
chmod +x "$work/linux-release/kit/kitsetup"

out="$work/package"
python3 "$make_kit" --builds "$work" > /dev/null || fail "the first run"
entries() { python3 -c 'import sys, zipfile
for i in zipfile.ZipFile(sys.argv[1]).infolist(): print(i.filename, i.date_time)' "$1"; }

# The other bitness's parts come from the other build, whole.
grep -q "^mingw-x64 W64/VRTQ40UI.DLL$" "$out/x86/W64/VRTQ40UI.DLL" || fail "x86 lacks the x86_64 build's W64"
[ ! -e "$out/x86/W64/VRTQ40R.DLL" ] || fail "x86 kept the i686 build's own W64"
grep -q "^mingw-x86 W32/VRTQ40UI.DLL$" "$out/x64/W32/VRTQ40UI.DLL" || fail "x64 lacks the i686 build's W32"
grep -q "^mingw-x86 kitsetup.exe$" "$out/x86/kitsetup.exe" || fail "x86 front-end"
[ -x "$out/linux/kitsetup" ] || fail "the linux flavour's program lost its mode"
[ ! -e "$out/kit-linux.zip" ] || fail "the linux flavour is zipped"

# Sorted entries with the fixed time; the list matches the files.
entries "$out/kit-x86.zip" > "$work/entries"
sort -c <(cut -d' ' -f1 "$work/entries") || fail "entries not sorted"
[ "$(cut -d' ' -f2- "$work/entries" | sort -u)" = "(2026, 1, 1, 0, 0, 0)" ] || fail "timestamps: $(cat "$work/entries")"
(cd "$out/x86" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | while read -r f; do
   printf '%s\t%s\t%s\n' "$f" "$(stat -c %s "$f")" "$(sha256sum "$f" | cut -d' ' -f1)"; done) > "$work/expected"
cmp -s "$work/expected" "$out/kit-x86.files.txt" || fail "file list: $(diff "$work/expected" "$out/kit-x86.files.txt")"
[ "$(cut -f1 "$out/kit-x86.files.txt")" = "$(cut -d' ' -f1 "$work/entries")" ] || fail "list and zip differ"

# The same bytes again, whatever the files' own times.
cp "$out/kit-x86.zip" "$work/first-x86.zip"; cp "$out/kit-x64.zip" "$work/first-x64.zip"
find "$work/mingw-x86" "$work/mingw-x64" -type f -exec touch -d '2030-05-05 12:00' {} +
python3 "$make_kit" --builds "$work" x86 x64 > /dev/null || fail "the second run"
cmp "$work/first-x86.zip" "$out/kit-x86.zip" || fail "x86 zip not reproducible"
cmp "$work/first-x64.zip" "$out/kit-x64.zip" || fail "x64 zip not reproducible"

# A missing build output: named, nothing written, nothing partial.
expect_refusal() {  # expect_refusal TEXT-IN-MESSAGE
  if python3 "$make_kit" --builds "$work" x86 x64 > /dev/null 2> "$work/err"; then fail "ran without $1"; fi
  grep -qF "$1" "$work/err" || fail "the message does not name $1: $(cat "$work/err")"
  cmp -s "$work/first-x86.zip" "$out/kit-x86.zip" || fail "an earlier zip changed"
  ! ls "$out" | grep -q partial || fail "a partial output is left: $(ls "$out")"
}
mv "$work/mingw-x64/kit/W64" "$work/W64.away"
expect_refusal "$work/mingw-x64/kit/W64"
mv "$work/W64.away" "$work/mingw-x64/kit/W64"
rm "$work/mingw-x86/kit/Uninstall.exe"
expect_refusal "$work/mingw-x86/kit/Uninstall.exe"
lay mingw-x86 Uninstall.exe

# The USB folder: one build's part alone is refused, both are taken.
lay mingw-x86 USBDRV/USBDriver/Install.exe
expect_refusal "USBDRV\\USBDriver_x64"
lay mingw-x64 USBDRV/USBDriver_x64/Install.exe
python3 "$make_kit" --builds "$work" x86 > /dev/null || fail "the run with both USB folders"
grep -q "^mingw-x64 USBDRV/USBDriver_x64/Install.exe$" "$out/x86/USBDRV/USBDriver_x64/Install.exe" || fail "x86 USB x64"
grep -q "^mingw-x86 USBDRV/USBDriver/Install.exe$" "$out/x86/USBDRV/USBDriver/Install.exe" || fail "x86 USB 32"
echo "make_kit: all checks passed"
