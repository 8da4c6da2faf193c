#!/usr/bin/env bash
# check_kit.sh KITLAYOUT PACKAGE_DIR FLAVOUR...
# Checks the flavours make_kit.py laid out in PACKAGE_DIR: the layout test
# (every file the programs open, nothing else) on each, and for the Windows
# flavours the binaries by place (scripts/check-pe.sh --kit).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kitlayout=$1 package=$2
shift 2
status=0
for flavour in "$@"; do
  "$kitlayout" check "$package/$flavour" "$flavour" || status=1
  case $flavour in
    x86|x64) bash "$root/scripts/check-pe.sh" --kit "$package/$flavour" "$flavour" || status=1 ;;
  esac
done
exit $status
