#!/usr/bin/env bash
# Installs every Debian package the kit's builds and tests need. Idempotent:
# when everything is present it says one line and changes nothing.
set -euo pipefail

packages=(
  cmake ninja-build ccache g++ clang libclang-rt-14-dev lld
  googletest libbenchmark-dev nlohmann-json3-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine wine64 xvfb xauth x11-apps imagemagick
  tmux python3 zlib1g-dev libfreetype-dev fonts-dejavu-core
  libzint-dev libpng-dev libjpeg-dev zbar-tools
)
# The printing road: QR codes for the test document, PDF pages rendered for
# printjob-host.
packages+=(qrencode poppler-utils)
# Packaging for deployment: MSI packages (wixl, checked with msiinfo and
# msiextract) and Authenticode signatures (osslsigncode, a test CA made with
# openssl).
packages+=(wixl msitools osslsigncode openssl)
# The printer application kvprinter (PAPPL) and its end-to-end road: CUPS
# with a private cupsd and ipptool, ghostscript and poppler to make and draw
# PDF pages (qrencode and poppler above), curl and a headless chromium for the
# web interface. No avahi daemon: the tests stay on the loopback.
packages+=(libpappl-dev cups cups-ipp-utils cups-filters ghostscript curl chromium)

# The i686 kit runs under Wine as 32-bit Windows programs: Debian's wine32
# from the i386 architecture, where this kernel starts 32-bit programs
# (scripts/runs-32bit.sh); elsewhere those runs are skipped with the reason.
if no_32bit=$(bash "$(dirname "$0")/runs-32bit.sh"); then
  if ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
    if [ "$(id -u)" -ne 0 ]; then
      echo "setup: missing package wine32:i386; run as root to install it" >&2
      exit 1
    fi
    echo "setup: installing wine32:i386 (32-bit Windows programs under Wine)"
    dpkg --add-architecture i386
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends wine32:i386 >/dev/null
  fi
else
  echo "setup: no 32-bit Wine: $no_32bit; the i686 runs under Wine are skipped"
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all ${#packages[@]} packages present"
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: missing packages (${missing[*]}); run as root to install them" >&2
  exit 1
fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "setup: done"
