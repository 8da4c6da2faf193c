#!/usr/bin/env python3
"""check_imports.py [--stripped skip|fail] OBJDUMP FILE...

Reads the import table of each Windows module (objdump -p) and fails when a
module imports a DLL, or a function, that the oldest Windows its bitness
supports does not have: Windows 2000 for 32-bit modules, Windows XP x64 /
Server 2003 x64 for 64-bit ones. The loader refuses to start a program (or
load a DLL) with such an import, so the kit looks those functions up at run
time instead.

Every imported DLL must be one of the oldest system's (SYSTEM_DLLS). Every
function imported by name is looked up in MINIMUM, and every function
imported by ordinal is first named through ORDINALS (an ordinal the table
cannot name fails: nothing says the oldest system has it).

i686 modules are also disassembled. The build targets i686 (-march=i686):
its code uses cmov and fcomi, so it needs a Pentium Pro-class processor
(Pentium Pro, Pentium II and III, Athlon, VIA C3, Geode: every processor
sold with Windows XP), not the Pentium or K6 that Windows 2000 still ran
on. No instruction may use an MMX or SSE register or an SSE-only fence,
which a Pentium Pro or Pentium II lacks. The scan needs the image's
symbols, to pass over the C++ exception tables the linker places in the
code section: a stripped image fails (--stripped fail, the default; scan
the unstripped build output) or is passed over and counted (--stripped
skip, for a packaged kit made from a build output scanned before).

The table lists the functions newer than those systems that the toolchain's
runtime or the kit's code may pull in, each with the first system Microsoft
documents it for (the "Minimum supported client" of its reference page, and
for 64-bit modules the x64 edition it names). Functions absent from the
table are older than Windows 2000 or never imported by the kit. A figure
that is not from Microsoft's documentation says so beside it.
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
WINDOWS_XP_SP3 = 5         # 32-bit only, after Server 2003 SP1
VISTA = 6
WINDOWS_7 = 7
WINDOWS_8 = 8
WINDOWS_10 = 9

SYSTEM_NAMES = {
    WINDOWS_2000: "Windows 2000",
    WINDOWS_XP: "Windows XP",
    WINDOWS_XP_SP2: "Windows XP SP2",
    SERVER_2003: "Windows Server 2003",
    SERVER_2003_SP1: "Windows Server 2003 SP1 / XP x64",
    WINDOWS_XP_SP3: "Windows XP SP3",
    VISTA: "Windows Vista",
    WINDOWS_7: "Windows 7",
    WINDOWS_8: "Windows 8",
    WINDOWS_10: "Windows 10",
}

OLDEST = {
    "i686": (WINDOWS_2000, "Windows 2000"),
    "x86_64": (SERVER_2003_SP1, "Windows XP x64 / Server 2003 x64"),
}

# The DLLs of the oldest system of each bitness that a module may import:
# each is the DLL the Requirements of functions documented for that system
# name. uxtheme.dll comes with Windows XP (so the x64 edition has it), and
# bcrypt.dll (Vista), ucrtbase.dll (Windows 10) and the api-ms-win-* sets
# (Windows 7) with no system the kit supports at its oldest.
_SYSTEM_DLLS_2000 = {
    "kernel32.dll", "ntdll.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "shlwapi.dll",
    "ole32.dll", "oleaut32.dll", "comctl32.dll", "comdlg32.dll", "setupapi.dll", "newdev.dll", "cfgmgr32.dll",
    "version.dll", "msvcrt.dll", "ws2_32.dll", "msimg32.dll", "imm32.dll", "rpcrt4.dll", "winmm.dll",
    "crypt32.dll", "winspool.drv",
}
SYSTEM_DLLS = {
    "i686": _SYSTEM_DLLS_2000,
    "x86_64": _SYSTEM_DLLS_2000 | {"uxtheme.dll"},
}

# module (lower case) -> function -> first system that exports it: one
# system for both bitnesses, or (first 32-bit system, first x64 system).
MINIMUM = {
    "kernel32.dll": {
        # Threads runtime (winpthreads) and C++ runtime.
        "GetTickCount64": VISTA,
        "AddVectoredExceptionHandler": WINDOWS_XP,
        "RemoveVectoredExceptionHandler": WINDOWS_XP,
        # Vista, and the x64 edition of XP / Server 2003 SP1.
        "AddVectoredContinueHandler": (VISTA, SERVER_2003_SP1),
        "RemoveVectoredContinueHandler": (VISTA, SERVER_2003_SP1),
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
        # Windows XP SP3 (32-bit) and the x64 edition of XP / Server 2003.
        "GetLogicalProcessorInformation": (WINDOWS_XP_SP3, SERVER_2003_SP1),
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

# msvcrt.dll, the C runtime every version of Windows carries, has no
# "Minimum supported client" of its own: Microsoft documents its functions
# for the Visual C++ runtimes, not for the system's copy. Not from the
# documentation, then: the secure functions (a name ending in _s) came with
# Visual C++ 2005, and the system's msvcrt.dll exports them from Windows
# Vista on; Windows 2000's msvcrt.dll (6.1) and XP's (7.0) have none.
MSVCRT_SECURE = re.compile(r"^_?[A-Za-z0-9_]+_s$")
# Functions of Windows XP's msvcrt.dll (7.0) that Windows 2000's (6.1) lacks.
# Not from the documentation: the loader's refusal ("The procedure entry
# point ... could not be located in the dynamic link library msvcrt.dll")
# reported on Windows 2000 SP4. The toolchain's i686 runtime supplies
# ___lc_codepage_func itself (from __lc_codepage), so no module of the
# kit's build imports it today.
MSVCRT_MINIMUM = {
    "___lc_codepage_func": WINDOWS_XP,
    "_vscwprintf": WINDOWS_XP,
}

# Functions some systems export by ordinal only: module -> ordinal -> (name,
# first system that exports that ordinal). Not from the documentation: the
# ordinals are those of the toolchain's import library, and the reference
# pages give only "Comctl32.dll (version 5.8 or later)" (Windows 2000 ships
# 5.81) for the subclass helpers that name exports from version 6 (XP).
ORDINALS = {
    "comctl32.dll": {
        410: ("SetWindowSubclass", WINDOWS_2000),
        411: ("GetWindowSubclass", WINDOWS_2000),
        412: ("RemoveWindowSubclass", WINDOWS_2000),
        413: ("DefSubclassProc", WINDOWS_2000),
    },
}

DLL_LINE = re.compile(r"^\s*DLL Name:\s*(\S+)")
# "\t<vma>\t<hint or ordinal>  <name>" below a DLL's "vma:  Hint/Ord
# Member-Name" header; the name is "<none>" for an import by ordinal.
ENTRY_LINE = re.compile(r"^\s*[0-9a-fA-F]+\s+(\d+)\s+(\S+)\s*$")
# Registers and instructions an i686 processor without MMX and SSE lacks.
SSE_USE = re.compile(r"%xmm\d|%mm\d|\b(sfence|lfence|mfence|movnti|clflush|prefetchnta|prefetcht[012])\b")


def imports(objdump, path):
    """(module, function, ordinal) for every import: function None for an
    import by ordinal, ordinal None for one by name; (module, None, None)
    once for every DLL."""
    listing = subprocess.run([objdump, "-p", path], capture_output=True, text=True, check=True).stdout
    module = None
    for line in listing.splitlines():
        dll = DLL_LINE.match(line)
        if dll:
            module = dll.group(1).lower()
            yield module, None, None
            continue
        if module is None:
            continue
        if not line.strip():
            module = None
            continue
        entry = ENTRY_LINE.match(line)
        if entry:
            if entry.group(2) == "<none>":
                yield module, None, int(entry.group(1))
            else:
                yield module, entry.group(2), None


def first_system(arch, figure):
    """The first system of the module's bitness in a table's figure."""
    if isinstance(figure, tuple):
        return figure[0] if arch == "i686" else figure[1]
    return figure


def needed(arch, module, function):
    """The first system that exports module!function, by the tables."""
    if module == "msvcrt.dll" and function in MSVCRT_MINIMUM:
        return MSVCRT_MINIMUM[function]
    if module == "msvcrt.dll" and MSVCRT_SECURE.match(function):
        return VISTA
    figure = MINIMUM.get(module, {}).get(function)
    return None if figure is None else first_system(arch, figure)


def too_new(arch, entries):
    """Messages for every imported DLL and function the oldest system lacks."""
    oldest, oldest_name = OLDEST[arch]
    for module, function, ordinal in entries:
        if function is None and ordinal is None:
            if module not in SYSTEM_DLLS[arch]:
                yield f"imports {module}, which {oldest_name} does not have"
            continue
        shown = f"{module}!{function}"
        if ordinal is not None:
            named = ORDINALS.get(module, {}).get(ordinal)
            if named is None:
                yield f"imports {module} ordinal {ordinal}, which no table names: {oldest_name} may lack it"
                continue
            function, first = named
            shown = f"{module}!{function} (ordinal {ordinal})"
        else:
            first = needed(arch, module, function)
        if first is not None and first > oldest:
            yield f"imports {shown}, which needs {SYSTEM_NAMES[first]}; {oldest_name} lacks it"


SYMBOL_LINE = re.compile(r"^[0-9a-fA-F]+ <(.*)>:$")


def sse_lines(objdump, path):
    """Instructions of the code section that use MMX or SSE; None when the
    image has no symbols to tell the exception tables from code by."""
    listing = subprocess.run([objdump, "-d", "--no-show-raw-insn", "--section=.text", path],
                             capture_output=True, text=True, check=True).stdout
    if not any(SYMBOL_LINE.match(line) and not SYMBOL_LINE.match(line).group(1).startswith(".text")
               for line in listing.splitlines()):
        return None
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
    args = argv[1:]
    stripped = "fail"
    if len(args) >= 2 and args[0] == "--stripped" and args[1] in ("skip", "fail"):
        stripped, args = args[1], args[2:]
    if len(args) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    objdump = args[0]
    arch = "i686" if objdump.startswith("i686") else "x86_64"
    status = 0
    skipped = 0
    for path in args[1:]:
        for message in too_new(arch, imports(objdump, path)):
            print(f"check-pe: {path} {message}")
            status = 1
        if arch == "i686":
            found = sse_lines(objdump, path)
            if found is None and stripped == "skip":
                skipped += 1
            elif found is None:
                print(f"check-pe: {path} has no symbols: its instructions cannot be scanned "
                      "(scan the unstripped build output)")
                status = 1
            elif found:
                print(f"check-pe: {path} has {len(found)} MMX/SSE instructions, first: {found[0]}")
                status = 1
    if skipped:
        print(f"check-pe: {skipped} stripped i686 images passed over by the instruction scan "
              "(their build output is scanned)")
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv))
