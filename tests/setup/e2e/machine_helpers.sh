# Shell helpers of the end-to-end runs, sourced with the machine tool in $V.

# A fresh machine on which the USB monitor and the language monitor, which
# have no Linux build yet, are taken by machine rule, the USB monitor
# offering one port per install record (the serial monitor is the kit's own
# module, loaded as Windows loads it).
kit_machine() {  # kit_machine DIR PRESET
  "$V" create "$1" --preset "$2" >/dev/null &&
    "$V" monitor-rule "$1" --dll-contains KVRUSBMON --ports-from-key 'HKLM\SOFTWARE\VELDRAN\PORTNAME' >/dev/null &&
    "$V" monitor-rule "$1" --dll-contains KVRLMON --no-ports >/dev/null
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
