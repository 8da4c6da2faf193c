#!/usr/bin/env bash
# wine-exec.sh PREFIX PROGRAM.exe [ARGS...]
# Runs a Windows program under Wine with a prefix of its own (one per build
# folder), created quietly on first use. Exits with the program's exit code.
set -eu
prefix=$1; shift
export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree=;mshtml="}
export WINEARCH=win64

if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  exec xvfb-run -a "$0" "$prefix" "$@"
fi

mkdir -p "$(dirname "$prefix")"
(
  flock 9
  if [ ! -f "$prefix/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
) 9>"$prefix.lock"

exec wine "$@"
