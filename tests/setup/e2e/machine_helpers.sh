# Shell helpers of the end-to-end runs, sourced with the machine tool in $V.

# A fresh machine; the kit's monitors are loaded as Windows loads them when
# the install adds them (their Linux builds in the kit folder).
kit_machine() {  # kit_machine DIR PRESET
  "$V" create "$1" --preset "$2" >/dev/null
}

# Maps "Install.exe" on the machine to INSTALL through a wrapper that notes
# each end of it (its exit code, one line each) in ENDS.
map_installer() {  # map_installer DIR INSTALL WRAPPER ENDS
  printf '#!/bin/sh\n"%s" "$@"\necho "$?" >>"%s"\n' "$2" "$4" >"$3" && chmod +x "$3" &&
    "$V" program "$1" Install.exe "$3" >/dev/null
}

# Waits until every USB installer started on the machine has ended and its
# window is gone; after TENTHS tenths of a second says so and returns 1.
wait_for_installer() {  # wait_for_installer DIR ENDS TENTHS
  local started ended waited=0
  started=$("$V" show "$1" launches | grep -c 'Install.exe' || true)
  while :; do
    ended=$(cat "$2" 2>/dev/null | wc -l)
    if [ "$ended" -ge "$started" ] && ! "$V" show "$1" windows | grep -q 'Device driver setup'; then
      return 0
    fi
    if [ "$waited" -ge "$3" ]; then
      echo "the USB installer did not end ($ended of $started)"
      return 1
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
}
