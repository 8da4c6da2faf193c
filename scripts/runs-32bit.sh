#!/usr/bin/env bash
# runs-32bit.sh: exits 0 when this machine's kernel starts 32-bit x86
# programs, 1 (with the reason on standard output) when it does not.
#
# The probe is a 96-byte static i386 ELF program that makes the exit system
# call through int 0x80 with status 32 and needs no library: it starts only
# where the kernel has its 32-bit emulation (an x86_64 kernel may be built or
# booted without it, and a container may forbid it), which the kernel's name
# or the machine type cannot tell. Status 32 tells its run apart from a
# failed exec (126, 127) or the shell reading the file as a script.
set -u
probe_exit=32
dir=$(mktemp -d "${TMPDIR:-/tmp}/runs-32bit.XXXXXX") || { echo "cannot make a temporary folder for the 32-bit probe"; exit 1; }
trap 'rm -rf "$dir"' EXIT
# ELF header (52 bytes), one loadable segment (32 bytes), then the code:
# mov eax, 1 (exit); mov ebx, 32; int 0x80.
printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000' >"$dir/p"
printf '\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000' >>"$dir/p"
printf '\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000' >>"$dir/p"
printf '\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010' >>"$dir/p"
printf '\000\200\004\010\140\000\000\000\140\000\000\000\005\000\000\000' >>"$dir/p"
printf '\000\020\000\000\270\001\000\000\000\273\040\000\000\000\315\200' >>"$dir/p"
chmod +x "$dir/p"
"$dir/p" 2>/dev/null
status=$?
if [ "$status" -eq "$probe_exit" ]; then
  exit 0
fi
echo "this kernel does not run 32-bit programs (a static i386 probe ended with status $status)"
exit 1
