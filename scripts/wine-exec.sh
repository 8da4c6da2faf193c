#!/usr/bin/env bash
# wine-exec.sh PREFIX PROGRAM.exe [ARGS...]
# Runs a Windows program under Wine with a prefix of its own (one per build
# folder), created quietly on first use. Exits with the program's exit code.
#
# A prefix whose folder name ends in "-win32" is a 32-bit Windows
# (WINEARCH=win32); any other is 64-bit, where 32-bit programs run as on
# 64-bit Windows (WOW64). A 32-bit prefix, or a 32-bit program, needs a
# kernel that starts 32-bit programs: where it does not, the run ends with
# the line "wine-exec: skipped: REASON" and status 77, which the build's
# Windows tests count as a skip. A prefix that Wine cannot create is a
# failure with Wine's own message.
set -eu
prefix=$1; shift
here=$(cd "$(dirname "$0")" && pwd)
skip_status=77
export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree=;mshtml="}
case $prefix in
  *-win32) export WINEARCH=win32 ;;
  *) export WINEARCH=win64 ;;
esac

if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  exec xvfb-run -a "$0" "$prefix" "$@"
fi

# The machine field of a PE file (014c for i386), empty for anything else.
pe_machine() {
  [ -f "$1" ] || return 0
  [ "$(head -c 2 "$1")" = MZ ] || return 0
  local pe
  pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  od -An -tx2 -j$((pe + 4)) -N2 "$1" | tr -d ' '
}
if [ "$WINEARCH" = win32 ] || [ "$(pe_machine "${1:-}")" = 014c ]; then
  if ! reason=$(bash "$here/runs-32bit.sh"); then
    echo "wine-exec: skipped: 32-bit Windows programs cannot run: $reason"
    exit $skip_status
  fi
fi

mkdir -p "$(dirname "$prefix")"
(
  flock 9
  if [ ! -f "$prefix/system.reg" ]; then
    log=$(wineboot -i 2>&1) || true
    wineserver -w
    if [ ! -f "$prefix/system.reg" ]; then
      echo "wine-exec: Wine could not create the $WINEARCH prefix $prefix:" >&2
      printf '%s\n' "$log" >&2
      exit 1
    fi
  fi
) 9>"$prefix.lock"

exec wine "$@"
