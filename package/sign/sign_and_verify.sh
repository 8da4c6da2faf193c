#!/usr/bin/env bash
# sign_and_verify.sh [BUILDS]
# Packages the Windows kits signed by a throwaway test CA made here with
# openssl (kept in a temporary folder and deleted afterwards: no key or
# certificate is kept anywhere), then checks every PE image (.exe, .dll) and
# .msi of BUILDS/package (default: build) with osslsigncode against that CA,
# and that a copy changed after signing fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
builds=${1:-$root/build}
pki=$(mktemp -d)
trap 'rm -rf "$pki"' EXIT

openssl req -x509 -newkey rsa:2048 -nodes -keyout "$pki/ca.key" -out "$pki/ca.pem" -days 2 \
  -subj "/CN=Printer kit test CA" -addext "basicConstraints=critical,CA:TRUE" \
  -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
openssl req -newkey rsa:2048 -nodes -keyout "$pki/sign.key" -out "$pki/sign.csr" \
  -subj "/CN=Printer kit test code signing" 2>/dev/null
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >"$pki/ext.cnf"
openssl x509 -req -in "$pki/sign.csr" -CA "$pki/ca.pem" -CAkey "$pki/ca.key" -CAcreateserial \
  -out "$pki/sign.pem" -days 2 -extfile "$pki/ext.cnf" 2>/dev/null

python3 "$root/package/make_kit.py" --builds "$builds" --sign-cert "$pki/sign.pem" --sign-key "$pki/sign.key" x86 x64

package="$builds/package"
checked=0 failed=0 placeholders=0
while IFS= read -r -d '' file; do
  # The maker's placeholders under program names are no PE images.
  if [[ "$file" != *.msi ]] && [ "$(head -c 2 "$file")" != MZ ]; then
    placeholders=$((placeholders + 1))
    continue
  fi
  if osslsigncode verify -CAfile "$pki/ca.pem" -in "$file" >/dev/null 2>&1; then
    checked=$((checked + 1))
  else
    echo "FAIL: not signed by the test CA: $file"
    failed=$((failed + 1))
  fi
done < <(find "$package/x86" "$package/x64" "$package"/kit-x86.msi "$package"/kit-x64.msi -type f \
           \( -iname '*.exe' -o -iname '*.dll' -o -iname '*.msi' \) -print0)
changed="$pki/changed.exe"
cp "$package/x64/kitsetup.exe" "$changed"
printf '\x01' | dd of="$changed" bs=1 seek=1024 conv=notrunc 2>/dev/null
if osslsigncode verify -CAfile "$pki/ca.pem" -in "$changed" >/dev/null 2>&1; then
  echo "FAIL: a program changed after signing still verifies"
  failed=$((failed + 1))
fi
[ "$failed" = 0 ] || exit 1
[ "$checked" -gt 0 ] || { echo "FAIL: no signed file found in $package"; exit 1; }
echo "sign_and_verify: $checked files signed by the test CA verify ($placeholders placeholders left unsigned); a changed one fails"
