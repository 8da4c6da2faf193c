#!/usr/bin/env python3
"""check_imports.py OBJDUMP FILE...

Reads the import table of each Windows module (objdump -p) and fails when a
module imports, by name, a function that the oldest Windows its bitness
supports does not have: Windows 2000 for 32-bit modules, Windows XP x64 /
Server 2003 x64 for 64-bit ones. The loader refuses to start a program (or
load a DLL) with such an import, so the kit looks those functions up at run
time instead.

i686 modules are also disassembled: they must run on any i686 processor
(Pentium Pro without MMX, Pentium II without SSE, Pentium III and Athlon XP
without SSE2, VIA C3, Geode), so no instruction may use an MMX or SSE
register or an SSE-only fence.

The table lists the functions newer than those systems that the toolchain's
runtime or the kit's code may pull in, each with the first system Microsoft
documents it for ("Requirements" of its reference page). Functions absent
from the table are older than Windows 2000 or never imported by the kit.
"""
import re
import subprocess
import sys

# Systems in release order; a module of a bitness may import what its
# oldest system has.
WINDOWS_2000 = 0
WINDOWS_XP = 1
WINDOWS_XP_SP2 = 2
SERVER_2003 = 3            # and Windows XP x64, both 5.2
SERVER_2003_SP1 = 4        # and Windows XP x64 (built from it)
VISTA = 5
WINDOWS_7 = 6
WINDOWS_8 = 7

SYSTEM_NAMES = {
    WINDOWS_2000: "Windows 2000",
    WINDOWS_XP: "Windows XP",
    WINDOWS_XP_SP2: "Windows XP SP2",
    SERVER_2003: "Windows Server 2003",
    SERVER_2003_SP1: "Windows Server 2003 SP1 / XP x64",
    VISTA: "Windows Vista",
    WINDOWS_7: "Windows 7",
    WINDOWS_8: "Windows 8",
}

OLDEST = {
    "i686": (WINDOWS_2000, "Windows 2000"),
    "x86_64": (SERVER_2003_SP1, "Windows XP x64 / Server 2003 x64"),
}

# module (lower case) -> function -> first system that exports it.
MINIMUM = {
    "kernel32.dll": {
        # Threads runtime (winpthreads) and C++ runtime.
        "GetTickCount64": VISTA,
        "AddVectoredExceptionHandler": WINDOWS_XP,
        "RemoveVectoredExceptionHandler": WINDOWS_XP,
        "AddVectoredContinueHandler": VISTA,
        "InitializeConditionVariable": VISTA,
        "SleepConditionVariableCS": VISTA,
        "SleepConditionVariableSRW": VISTA,
        "WakeConditionVariable": VISTA,
        "WakeAllConditionVariable": VISTA,
        "InitializeSRWLock": VISTA,
        "AcquireSRWLockExclusive": VISTA,
        "AcquireSRWLockShared": VISTA,
        "ReleaseSRWLockExclusive": VISTA,
        "ReleaseSRWLockShared": VISTA,
        "TryAcquireSRWLockExclusive": WINDOWS_7,
        "TryAcquireSRWLockShared": WINDOWS_7,
        "InitOnceExecuteOnce": VISTA,
        "InitOnceBeginInitialize": VISTA,
        "InitOnceComplete": VISTA,
        "InitializeCriticalSectionEx": VISTA,
        "FlsAlloc": SERVER_2003,
        "FlsFree": SERVER_2003,
        "FlsGetValue": SERVER_2003,
        "FlsSetValue": SERVER_2003,
        "GetCurrentProcessorNumber": VISTA,
        "GetThreadId": SERVER_2003,
        "GetProcessId": WINDOWS_XP,
        "GetSystemTimePreciseAsFileTime": WINDOWS_8,
        "RtlCaptureContext": WINDOWS_XP,
        "SetThreadDescription": WINDOWS_8,
        "GetLogicalProcessorInformation": VISTA,
        # The kit's own calls, looked up at run time instead.
        "IsWow64Process": WINDOWS_XP_SP2,
        "GetNativeSystemInfo": WINDOWS_XP,
        "Wow64DisableWow64FsRedirection": SERVER_2003_SP1,
        "Wow64RevertWow64FsRedirection": SERVER_2003_SP1,
        "AttachConsole": WINDOWS_XP,
        "CreateActCtxA": WINDOWS_XP,
        "CreateActCtxW": WINDOWS_XP,
        "ActivateActCtx": WINDOWS_XP,
        "DeactivateActCtx": WINDOWS_XP,
        "ReleaseActCtx": WINDOWS_XP,
        "QueryActCtxW": WINDOWS_XP,
        "FindActCtxSectionStringW": WINDOWS_XP,
        "GetModuleHandleExA": WINDOWS_XP,
        "GetModuleHandleExW": WINDOWS_XP,
        "SetDllDirectoryW": WINDOWS_XP,
        "QueryFullProcessImageNameW": VISTA,
        "GetFinalPathNameByHandleW": VISTA,
        "GetFileInformationByHandleEx": VISTA,
        "CreateSymbolicLinkW": VISTA,
        "GetUserDefaultLocaleName": VISTA,
        "GetLocaleInfoEx": VISTA,
        "CompareStringEx": VISTA,
        "LCMapStringEx": VISTA,
        "WTSGetActiveConsoleSessionId": WINDOWS_XP,
    },
    "advapi32.dll": {
        "RegDeleteKeyExA": SERVER_2003_SP1,
        "RegDeleteKeyExW": SERVER_2003_SP1,
        "RegGetValueW": SERVER_2003_SP1,
        "RegDeleteTreeW": VISTA,
        "RegSetKeyValueW": VISTA,
        "RegCopyTreeW": VISTA,
        "CreateWellKnownSid": WINDOWS_XP,
        "EventRegister": VISTA,
    },
    "user32.dll": {
        "SetProcessDPIAware": VISTA,
        "ChangeWindowMessageFilter": VISTA,
        "PrintWindow": WINDOWS_XP,
        "GetLayeredWindowAttributes": WINDOWS_XP,
    },
    # Windows 2000's ComCtl32 5.81 exports the subclass helpers by ordinal
    # only; by name they come with version 6 (Windows XP).
    "comctl32.dll": {
        "SetWindowSubclass": WINDOWS_XP,
        "RemoveWindowSubclass": WINDOWS_XP,
        "DefSubclassProc": WINDOWS_XP,
        "GetWindowSubclass": WINDOWS_XP,
        "TaskDialog": VISTA,
        "TaskDialogIndirect": VISTA,
        "LoadIconMetric": VISTA,
    },
    "shell32.dll": {
        "SHGetKnownFolderPath": VISTA,
        "SHCreateItemFromParsingName": VISTA,
        "SHGetFolderPathAndSubDirW": WINDOWS_XP,
    },
    "setupapi.dll": {
        "SetupUninstallOEMInfA": WINDOWS_XP,
        "SetupUninstallOEMInfW": WINDOWS_XP,
        "SetupDiGetDevicePropertyW": VISTA,
    },
    "newdev.dll": {
        "DiInstallDriverA": VISTA,
        "DiInstallDriverW": VISTA,
        "DiUninstallDevice": WINDOWS_7,
    },
    "cfgmgr32.dll": {
        "CM_Get_DevNode_PropertyW": VISTA,
    },
    "winspool.drv": {
        "UploadPrinterDriverPackageW": VISTA,
        "InstallPrinterDriverFromPackageW": VISTA,
        "GetPrinterDriverPackagePathW": VISTA,
        "DeletePrinterDriverPackageW": VISTA,
    },
}

DLL_LINE = re.compile(r"^\s*DLL Name:\s*(\S+)")
# "\t<vma>\t<hint>  <name>" below a DLL's "vma:  Hint/Ord Member-Name" header.
ENTRY_LINE = re.compile(r"^\s*[0-9a-fA-F]+\s+(\d+)\s+(\S+)\s*$")
# Registers and instructions an i686 processor without MMX and SSE lacks.
SSE_USE = re.compile(r"%xmm\d|%mm\d|\b(sfence|lfence|mfence|movnti|clflush|prefetchnta|prefetcht[012])\b")


def imports(objdump, path):
    """(module, function) pairs imported by name."""
    listing = subprocess.run([objdump, "-p", path], capture_output=True, text=True, check=True).stdout
    module = None
    for line in listing.splitlines():
        dll = DLL_LINE.match(line)
        if dll:
            module = dll.group(1).lower()
            continue
        if module is None:
            continue
        if not line.strip():
            module = None
            continue
        entry = ENTRY_LINE.match(line)
        if entry and entry.group(2) != "<none>":
            yield module, entry.group(2)


def too_new(arch, pairs):
    """Messages for every imported function newer than the oldest system."""
    oldest, oldest_name = OLDEST[arch]
    for module, function in pairs:
        needed = MINIMUM.get(module, {}).get(function)
        if needed is not None and needed > oldest:
            yield (f"imports {module}!{function}, which needs {SYSTEM_NAMES[needed]}; "
                   f"{oldest_name} lacks it")


SYMBOL_LINE = re.compile(r"^[0-9a-fA-F]+ <(.*)>:$")


def sse_lines(objdump, path):
    """Instructions of the code section that use MMX or SSE."""
    listing = subprocess.run([objdump, "-d", "--no-show-raw-insn", "--section=.text", path],
                             capture_output=True, text=True, check=True).stdout
    # A stripped image (the packaged kit's) has no symbols to tell the
    # exception tables from code; the same code is scanned unstripped in the
    # build folders, so it is passed over here.
    if not any(SYMBOL_LINE.match(line) and not SYMBOL_LINE.match(line).group(1).startswith(".text")
               for line in listing.splitlines()):
        return []
    found = []
    in_data = False
    for line in listing.splitlines():
        symbol = SYMBOL_LINE.match(line)
        if symbol:
            # The linker places the C++ exception tables and the tables of
            # constructor and destructor pointers (data) inside the code
            # section; their bytes disassemble to anything (a pointer near
            # an image base of 0x670f0000 reads as an MMX instruction).
            in_data = symbol.group(1).startswith((".gcc_except_table", ".ctors", ".dtors"))
            continue
        if not in_data and SSE_USE.search(line):
            found.append(line.strip())
    return found


def main(argv):
    if len(argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    objdump = argv[1]
    arch = "i686" if objdump.startswith("i686") else "x86_64"
    status = 0
    for path in argv[2:]:
        for message in too_new(arch, imports(objdump, path)):
            print(f"check-pe: {path} {message}")
            status = 1
        if arch == "i686":
            found = sse_lines(objdump, path)
            if found:
                print(f"check-pe: {path} has {len(found)} MMX/SSE instructions, first: {found[0]}")
                status = 1
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv))
