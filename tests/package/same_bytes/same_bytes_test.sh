#!/usr/bin/env bash
# same_bytes_test.sh CXX MODULE_SOURCE STRIP_PE_FOLDER WORK FLAGS_ONE FLAGS_TWO LINK_FLAG
# Builds MODULE_SOURCE as a DLL in WORK/one and WORK/two (each a repository
# with its build folder inside, each with its own folders' compile flags),
# at two different times, strips both as package/make_kit.py does, and
# compares the stripped images and their debug files byte for byte.
set -uo pipefail
cxx=$1 source=$2 lean=$3 work=$4 flags_one=$5 flags_two=$6 link=$7
# The packaging's fixed time (make_kit.py EPOCH: 2026-01-01).
epoch=1767225600
rm -rf "$work"
for twin in one two; do
  mkdir -p "$work/$twin/src" "$work/$twin/build"
  cp "$source" "$work/$twin/src/module.cpp"
  flags=$flags_one
  [ "$twin" = two ] && flags=$flags_two
  # shellcheck disable=SC2086  # the flags are words
  (cd "$work/$twin/build" &&
    "$cxx" -O2 $flags -c "$work/$twin/src/module.cpp" -o module.obj &&
    "$cxx" -shared -static -static-libgcc -static-libstdc++ "$link" module.obj -o module.dll) ||
    { echo "FAIL: the $twin build failed"; exit 1; }
  # A link in a later second than the first one's.
  [ "$twin" = one ] && sleep 1
done
python3 - "$lean" "$work" "$epoch" <<'PY' || exit 1
import sys
sys.path.insert(0, sys.argv[1])
import strip_pe
for twin in ("one", "two"):
    folder = "%s/%s/build/" % (sys.argv[2], twin)
    if not strip_pe.strip(folder + "module.dll", folder + "symbols/module.dll.debug", int(sys.argv[3])):
        sys.exit("FAIL: module.dll is no PE image")
PY
status=0
for file in module.dll symbols/module.dll.debug; do
  cmp "$work/one/build/$file" "$work/two/build/$file" || { echo "FAIL: $file differs between the two folders"; status=1; }
done
[ "$status" = 0 ] && echo "the same sources gave the same image and debug file in two folders"
exit $status
