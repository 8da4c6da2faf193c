#!/usr/bin/env bash
# Sets up a Debian machine, builds all targets and runs every test:
#   linux-release  g++ Release: unit tests and the benchmarks (briefly)
#   mingw-x64      Windows x86_64: tests run under Wine, inside Xvfb
#   mingw-x86      Windows i686: tests under 32-bit Wine (and the platform
#                  contract as 32-bit programs on 64-bit Windows), exports and
#                  imports checked
#   linux-debug    clang with ASan + UBSan: unit tests and the fuzz targets
# The native debug run comes last, so the output ends with CTest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-deps.sh

# Wine and ccache keep files under the home folder: make sure there is one
# even where the environment does not name it.
if [ -z "${HOME:-}" ]; then
  HOME=$(getent passwd "$(id -u)" | cut -d: -f6)
  export HOME
fi

# Let ccache share objects between checkouts in different folders.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true

# Each step's heading says how long the one before it took, so the CI log
# shows where the time goes. The last step's time is CTest's own closing line,
# which stays the last line of a passing run; a failing run ends with the step
# that failed and its time.
run_start=$SECONDS step_start=$SECONDS step_name=""
step() {
  [ -n "$step_name" ] && printf '=== %s: %d s (%d s so far)\n' "$step_name" \
    $((SECONDS - step_start)) $((SECONDS - run_start))
  step_name=$* step_start=$SECONDS
  printf '\n=== %s\n' "$*"
}
finish() {
  local rc=$?
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
  [ "$rc" -ne 0 ] && printf '=== %s failed after %d s (%d s in all)\n' "$step_name" \
    $((SECONDS - step_start)) $((SECONDS - run_start))
  return 0
}
trap finish EXIT

if [ -z "${DISPLAY:-}" ]; then
  # One X server for every Windows test of this run.
  for n in $(seq 90 120); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || { display=$n; break; }
  done
  Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$display"
  for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$display ] && break; sleep 0.1; done
fi

build() {
  step "configure and build $1"
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
}

build linux-release
step "test linux-release"
ctest --preset linux-release

build mingw-x64
step "test mingw-x64 under Wine"
# The kit zip's own Wine run needs the packaged kit: it runs after packaging.
ctest --preset mingw-x64 -LE kit_zip

build mingw-x86
step "test mingw-x86 under 32-bit Wine"
ctest --preset mingw-x86 -LE kit_zip

step "check mingw-x86 binaries"
bash scripts/check-pe.sh --self-test
bash scripts/check-pe.sh build/mingw-x86 i686
bash scripts/check-pe.sh build/mingw-x64 x86_64

step "package the kit (x86, x64, linux) and check each flavour's layout"
python3 package/make_kit.py
bash package/check_kit.sh build/linux-release/package/layout/kitlayout build/package x86 x64 linux

step "sign the Windows kits with a throwaway test CA and verify every file"
bash package/sign/sign_and_verify.sh

step "the kit zips (x64; x86 on 64-bit and 32-bit Windows) and MSI package under Wine: install, sheets, uninstall"
ctest --preset mingw-x64 -L kit_zip
ctest --preset mingw-x86 -L kit_zip

build linux-debug
step "test linux-debug (ASan + UBSan, fuzz targets)"
ctest --preset linux-debug
