#!/usr/bin/env bash
# deploy_package_test.sh MAKE_KIT WORK
# The packaging for deployment on stand-in builds whose programs and DLLs are
# real PE images with debug sections (compiled here with mingw-w64):
#  - every shipped PE image is stripped, and kit-<flavour>-symbols.zip holds
#    its debug sections as <path>.debug, named in the image;
#  - with a throwaway test CA and code-signing certificate made by openssl,
#    every .exe, .dll and .msi verifies against that CA, and a byte changed
#    after signing fails;
#  - the MSI packages: the launch condition on ACCEPT_LICENCE, the deferred
#    elevated install and removal custom actions in their places, the kit's
#    version and the major upgrade, 64-bit
#    components in the x64 package, and files that are the kit folder's,
#    byte for byte;
#  - a second run gives the same bytes (zips, symbols, MSI packages).
set -uo pipefail
make_kit=$1
work="$2"
rm -rf "$work"
mkdir -p "$work/src"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Real PE images with debug sections, of each machine, made as the kit's
# builds make theirs (no link time, the folder mapped); one with its link
# time is refused.
printf 'int main(void) { return 0; }\n' >"$work/src/main.c"
printf '__declspec(dllexport) int DllCanUnloadNow(void) { return 1; }\n' >"$work/src/dll.c"
# The compiler records its working folder too (the debug sections' comp_dir):
# both are mapped, as the builds map the source and build folders.
same=(-ffile-prefix-map="$work"=. -ffile-prefix-map="$PWD"=. -Wl,--no-insert-timestamp)
for arch in i686 x86_64; do
  "$arch-w64-mingw32-gcc" -g -O0 "${same[@]}" "$work/src/main.c" -o "$work/src/$arch.exe" || exit 1
  "$arch-w64-mingw32-gcc" -g -O0 "${same[@]}" -shared "$work/src/dll.c" -o "$work/src/$arch.dll" || exit 1
done
x86_64-w64-mingw32-gcc -g -O0 "$work/src/main.c" -o "$work/src/timed.exe" || exit 1
builds="$work/builds"
put() {  # put BUILD PATH SOURCE
  mkdir -p "$(dirname "$builds/$1/kit/$2")" && cp "$3" "$builds/$1/kit/$2"
}
text() {  # text BUILD PATH
  mkdir -p "$(dirname "$builds/$1/kit/$2")" && echo "$1 $2" >"$builds/$1/kit/$2"
}
for build in mingw-x86 mingw-x64 linux-release; do
  for f in DRVCONFIG/setup.ini License_EN.txt; do text "$build" "$f"; done
done
for p in kitsetup.exe Uninstall.exe USBDRV/USBDriver/Install.exe; do put mingw-x86 "$p" "$work/src/i686.exe"; done
put mingw-x86 W32/VRTQ40UI.DLL "$work/src/i686.dll"
for p in kitsetup.exe Uninstall.exe USBDRV/USBDriver_x64/Install.exe; do put mingw-x64 "$p" "$work/src/x86_64.exe"; done
put mingw-x64 W64/VRTQ40UI.DLL "$work/src/x86_64.dll"
text linux-release kitsetup; text linux-release Uninstall

# A throwaway CA and a code-signing certificate it issued (nothing kept).
pki="$work/pki"
mkdir -p "$pki"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$pki/ca.key" -out "$pki/ca.pem" -days 2 -subj "/CN=Kit Test CA" \
  -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null || exit 1
openssl req -newkey rsa:2048 -nodes -keyout "$pki/sign.key" -out "$pki/sign.csr" -subj "/CN=Kit Test Code Signing" \
  2>/dev/null || exit 1
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >"$pki/ext.cnf"
openssl x509 -req -in "$pki/sign.csr" -CA "$pki/ca.pem" -CAkey "$pki/ca.key" -CAcreateserial -out "$pki/sign.pem" \
  -days 2 -extfile "$pki/ext.cnf" 2>/dev/null || exit 1

out="$work/package"
package() { python3 "$make_kit" --builds "$builds" --out "$out" --sign-cert "$pki/sign.pem" --sign-key "$pki/sign.key" x86 x64; }
package >/dev/null || { echo "FAIL: make_kit"; exit 1; }

for flavour in x86 x64; do
  kit="$out/$flavour"
  # Lean images, their symbols beside the zip.
  rm -rf "$work/symbols-$flavour" && mkdir -p "$work/symbols-$flavour"
  (cd "$work/symbols-$flavour" && python3 -m zipfile -e "$out/kit-$flavour-symbols.zip" .) || fail "$flavour symbols zip"
  pes=0
  while read -r relative; do
    objdump=x86_64-w64-mingw32-objdump
    sections=$("$objdump" -h "$kit/$relative" 2>/dev/null) || continue
    pes=$((pes + 1))
    grep -q ' \.debug_' <<<"$sections" && fail "$flavour/$relative keeps debug sections"
    grep -q ' \.gnu_debuglink' <<<"$sections" || fail "$flavour/$relative names no debug file"
    "$objdump" -h "$work/symbols-$flavour/$relative.debug" 2>/dev/null | grep -q ' \.debug_info' ||
      fail "$flavour: no symbols for $relative"
    osslsigncode verify -CAfile "$pki/ca.pem" -in "$kit/$relative" >/dev/null 2>&1 ||
      fail "$flavour/$relative: the signature does not verify"
  done < <(cd "$kit" && find . -type f | sed 's|^\./||' | sort)
  [ "$pes" = 6 ] || fail "$flavour: $pes PE images (6 expected)"
  unzip -p "$out/kit-$flavour.zip" kitsetup.exe | cmp -s - "$kit/kitsetup.exe" || fail "$flavour: the zip's program differs"

  msi="$out/kit-$flavour.msi"
  osslsigncode verify -CAfile "$pki/ca.pem" -in "$msi" >/dev/null 2>&1 || fail "kit-$flavour.msi: the signature does not verify"
  msiinfo export "$msi" LaunchCondition | tr -d '\r' | grep -qF 'Installed OR ACCEPT_LICENCE="1"' || fail "$flavour: no licence condition"
  table() { msiinfo export "$msi" "$1" | tr -d '\r'; }
  actions=$(table CustomAction)
  # 18 an installed program, 5 a JScript call of a Binary stream, 51 a
  # property set; + 1024 deferred, + 2048 elevated (wixl sets it on the
  # property set too, where it means nothing); all checking their status.
  grep -qP '^QuietInstall\t3090\t.*--quiet --accept-licence --series "\[SERIES\]" --model "\[MODEL\]"' <<<"$actions" ||
    fail "$flavour: install action: $actions"
  grep -qP '^QuietRemoval\t3077\tKitActions\tQuietRemoval\t?$' <<<"$actions" || fail "$flavour: removal action: $actions"
  grep -qP '^QuietRemovalData\t2099\tQuietRemoval\t.*Uninstall.exe" --quiet --printers-from "\[INSTALLFOLDER\]installed-printers.txt"' \
    <<<"$actions" || fail "$flavour: removal action's data: $actions"
  sequence=$(table InstallExecuteSequence)
  seq() { grep -P "^$1\t" <<<"$sequence" | awk -F'\t' '{print $NF}'; }
  [ "$(seq QuietRemoval)" -lt "$(seq RemoveFiles)" ] || fail "$flavour: the removal runs after the files are gone"
  [ "$(seq QuietInstall)" -gt "$(seq InstallFiles)" ] || fail "$flavour: the install runs before the files are there"
  # A major upgrade: the older package goes before anything of this one is installed.
  [ "$(seq RemoveExistingProducts)" -gt "$(seq InstallValidate)" ] && [ "$(seq RemoveExistingProducts)" -lt "$(seq InstallInitialize)" ] ||
    fail "$flavour: RemoveExistingProducts at $(seq RemoveExistingProducts)"
  table Upgrade | grep -qF "$(table Property | sed -n 's/^UpgradeCode\t//p')" || fail "$flavour: no upgrade of its own upgrade code"
  [ "$(table Property | sed -n 's/^ProductVersion\t//p')" = "$(cat "$(dirname "$make_kit")/../kit/VERSION")" ] ||
    fail "$flavour: the package's version is not the kit's"
  table Property | grep -q '^SecureCustomProperties.*WIX_UPGRADE_DETECTED;ACCEPT_LICENCE;SERIES;MODEL' ||
    fail "$flavour: the properties do not reach the elevated action"
  attributes=$(table Component | awk -F'\t' 'NR > 3 {print $4}' | sort -u)
  if [ "$flavour" = x64 ]; then [ "$attributes" = 256 ] || fail "x64 components: attributes $attributes";
  else [ "$attributes" = 0 ] || fail "x86 components: attributes $attributes"; fi
  # The package's files are the kit folder's, byte for byte, with the
  # empty record the custom action writes.
  rm -rf "$work/msi-$flavour" && mkdir -p "$work/msi-$flavour"
  msiextract -C "$work/msi-$flavour" "$msi" >/dev/null || fail "msiextract kit-$flavour.msi"
  extracted=$(find "$work/msi-$flavour" -type d -name PrinterDriverKit | head -1)
  for f in installed-printers.txt; do
    [ -f "$extracted/$f" ] && [ ! -s "$extracted/$f" ] || fail "$flavour: $f is not shipped empty"
    rm -f "$extracted/$f"
  done
  diff -r "$kit" "$extracted" >/dev/null || fail "$flavour: the MSI's files differ from the kit folder: $(diff -rq "$kit" "$extracted" | head -3)"
done

# A byte changed after signing: the signature fails.
cp "$out/x64/kitsetup.exe" "$work/changed.exe"
printf '\x01' | dd of="$work/changed.exe" bs=1 seek=1024 conv=notrunc 2>/dev/null
osslsigncode verify -CAfile "$pki/ca.pem" -in "$work/changed.exe" >/dev/null 2>&1 && fail "a changed program still verifies"
cp "$out/kit-x86.msi" "$work/changed.msi"
# A byte of the package's own strings (the string pool stream, which the
# signature covers), not of a sector the compound file leaves unused.
at=$(grep -abo -m1 'PrinterDriverKit' "$work/changed.msi" | head -1 | cut -d: -f1)
[ -n "$at" ] || fail "the package holds no PrinterDriverKit string to change"
printf 'Q' | dd of="$work/changed.msi" bs=1 seek="${at:-0}" conv=notrunc 2>/dev/null
osslsigncode verify -CAfile "$pki/ca.pem" -in "$work/changed.msi" >/dev/null 2>&1 && fail "a changed package still verifies"

# The same bytes again.
mkdir -p "$work/first"
cp "$out"/kit-*.zip "$out"/kit-*.msi "$work/first/"
package >/dev/null || fail "the second run"
for f in "$work/first"/*; do cmp -s "$f" "$out/$(basename "$f")" || fail "$(basename "$f") is not reproducible"; done
# An image that carries its link time stops the packaging, named.
put mingw-x64 W64/VRTQ40UI.DLL "$work/src/timed.exe"
python3 "$make_kit" --builds "$builds" --out "$work/timed" --no-msi x64 2>"$work/timed.err" && fail "a timed image was packaged"
grep -q 'W64/VRTQ40UI.DLL is not the same bytes from build to build: its header carries the link time' "$work/timed.err" ||
  fail "the timed image's refusal: $(cat "$work/timed.err")"

if [ "$failures" -ne 0 ]; then echo "$failures failure(s)"; exit 1; fi
echo "deploy packaging: all checks passed"
