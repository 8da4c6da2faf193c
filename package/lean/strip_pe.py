"""Lean Windows binaries: the kit ships its programs and DLLs without their
debug sections, and keeps those in a separate file per binary for reading
crash dumps (gdb or addr2line with the binary beside its .debug file, which
the stripped binary names in its .gnu_debuglink section).

The binutils of the binary's own machine do the work; SOURCE_DATE_EPOCH
fixes the PE time stamp they write, so that the same build gives the same
bytes.
"""
import os
import struct
import subprocess

# PE machine types and the mingw-w64 binutils for each.
MACHINE_I386 = 0x014C
MACHINE_AMD64 = 0x8664
OBJCOPY = {MACHINE_I386: "i686-w64-mingw32-objcopy", MACHINE_AMD64: "x86_64-w64-mingw32-objcopy"}
PE_SIGNATURE = b"PE\0\0"
DOS_MAGIC = b"MZ"
LFANEW_OFFSET = 0x3C
# The COFF header's time stamp, after the PE signature, machine and section count.
TIME_STAMP_OFFSET = 8
DEBUG_SUFFIX = ".debug"


class StripError(Exception):
    pass


def pe_machine(path):
    """The PE machine type of a file, or None when it is no PE image."""
    with open(path, "rb") as f:
        head = f.read(LFANEW_OFFSET + 4)
        if len(head) < LFANEW_OFFSET + 4 or head[:2] != DOS_MAGIC:
            return None
        (lfanew,) = struct.unpack_from("<I", head, LFANEW_OFFSET)
        f.seek(lfanew)
        pe = f.read(6)
    if len(pe) < 6 or pe[:4] != PE_SIGNATURE:
        return None
    return struct.unpack_from("<H", pe, 4)[0]


def not_reproducible(path, folders):
    """Why a PE image would differ from a build of the same sources in
    another folder or at another time, or None: a link time in its header,
    or one of `folders` (the build machine's) recorded in it."""
    with open(path, "rb") as f:
        data = f.read()
    (lfanew,) = struct.unpack_from("<I", data, LFANEW_OFFSET)
    if struct.unpack_from("<I", data, lfanew + TIME_STAMP_OFFSET)[0] != 0:
        return "its header carries the link time (link with -Wl,--no-insert-timestamp)"
    for folder in folders:
        if folder.encode() in data:
            return "it records the folder %s (compile with -ffile-prefix-map)" % folder
    return None


def _run(command, epoch):
    env = dict(os.environ, SOURCE_DATE_EPOCH=str(epoch))
    result = subprocess.run(command, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    if result.returncode != 0:
        raise StripError("%s failed: %s" % (" ".join(command[:2]), result.stderr.strip()))


def strip(path, debug_path, epoch):
    """Moves the debug sections of the PE image at path into debug_path and
    strips path in place, naming the debug file in it. False (nothing done)
    for a file that is no PE image."""
    machine = pe_machine(path)
    if machine is None:
        return False
    tool = OBJCOPY.get(machine)
    if tool is None:
        raise StripError("%s: no binutils for PE machine 0x%04x" % (path, machine))
    os.makedirs(os.path.dirname(debug_path), exist_ok=True)
    _run([tool, "--only-keep-debug", path, debug_path], epoch)
    stripped = path + ".stripped"
    # The debug link holds the debug file's base name; objcopy reads the
    # file from there to compute its CRC.
    _run([tool, "--strip-all", "--add-gnu-debuglink=" + debug_path, path, stripped], epoch)
    os.replace(stripped, path)
    return True
