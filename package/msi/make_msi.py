"""The kit folder as an MSI package, built with wixl (msitools), for
deployment with Group Policy or an endpoint manager:

  msiexec /i kit-x64.msi /qn ACCEPT_LICENCE=1 MODEL=VRT-Q40 PORT=KVCOM2: BAUD=19200 PARITY=even

The kit folder goes under Program Files (the x64 package's components are
64-bit, the x86 package installs on both), and a deferred, elevated custom
action runs "kitsetup.exe --quiet" from there with the public properties as
its named options; it records the printers it created in a file beside the
kit, and on removal "Uninstall.exe --quiet --printers-from" removes just
those (never the family's other printers). The record (installed-printers.txt)
is a file of the package, empty as shipped; the logs go to the system's
temporary folder (kitsetup-quiet.log, uninstall-quiet.log), where a failed
install's rollback leaves them. A launch condition refuses the
install without ACCEPT_LICENCE=1.

Every GUID is derived from the flavour and the file's path, and wixl's
output is made reproducible by SOURCE_DATE_EPOCH, so the same kit folder
gives the same package bytes.
"""
import hashlib
import os
import shutil
import subprocess
import struct
import time
import uuid
from xml.sax.saxutils import quoteattr

# Names of the package; the GUID namespace makes every id stable.
NAMESPACE = uuid.UUID("5b0d7c1e-6a43-4c8e-9f1d-2a9b3c4d5e6f")
PRODUCT_NAME = "Printer driver kit"
MANUFACTURER = "Printer driver kit"
INSTALL_FOLDER_NAME = "PrinterDriverKit"
# The kit's version (major.minor.build), from its data: the package's version
# and the version resource of every program and DLL (cmake/KitVersion.cmake).
VERSION_FILE = os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))),
                            "kit", "VERSION")
# The removal's script custom action (kit_actions.js), as a Binary stream.
ACTIONS_SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "kit_actions.js")
ACTIONS_BINARY = "KitActions"
LANGUAGE = "1033"
# The file beside the kit in which the install records its printers.
RECORD_FILE = "installed-printers.txt"
INSTALL_LOG = "kitsetup-quiet.log"
REMOVAL_LOG = "uninstall-quiet.log"
# Left in the temporary folder by a removal whose Uninstall ended 3010.
RESTART_MARK = "uninstall-quiet.restart"
# InstallFiles is 4000: the install runs from the installed kit right after
# it (a number, not wixl's "After", which counts from the last action placed).
INSTALL_SEQUENCE = 4001
# InstallFinalize is 6600: the removal's restart is asked for after it.
RESTART_SEQUENCE = 6601
# The removal runs first of the deferred actions, right after
# InstallInitialize (1500): when it fails, nothing of the package has been
# unregistered yet (ProcessComponents is 1600), so the package stays whole
# even where a rollback does not undo everything.
REMOVAL_SEQUENCE = 1502
REVISION_LINE = "Revision number (UUID):"
# The summary's creation and last-save times.
VT_FILETIME = 0x40
SUMMARY_TIMES = 2
SUMMARY_TIME_SLACK = 60  # seconds
FILETIME_EPOCH_OFFSET = 11644473600  # seconds from 1601 to 1970
FILETIME_TICKS = 10 ** 7  # per second
# Public property -> kitsetup option.
PROPERTIES = (
    ("SERIES", "--series"), ("MODEL", "--model"), ("MODE", "--mode"), ("PORT", "--port"), ("IP", "--ip"),
    ("USB_PORT", "--usb-port"), ("BAUD", "--baud"), ("PARITY", "--parity"), ("DATA_BITS", "--data-bits"),
    ("STOP_BITS", "--stop-bits"), ("FLOW", "--flow"), ("RASTER", "--raster"), ("USB_ID", "--usb-id"),
)
LICENCE_PROPERTY = "ACCEPT_LICENCE"
# Installed already: a second /i that asks for a printer is refused (it would
# end 0 and install nothing); kitsetup adds printers to an installed kit.
INSTALLED_MESSAGE = ("The printer driver kit is installed already: add printers with kitsetup.exe in its folder, or "
                     "remove the package first (msiexec /x).")
DOWNGRADE_MESSAGE = "A newer version of the printer driver kit is installed already."
# The properties wixl's MajorUpgrade sets when it finds an older or a newer package.
UPGRADE_PROPERTIES = ("WIX_DOWNGRADE_DETECTED", "WIX_UPGRADE_DETECTED")
# InstallValidate is 1400; the check that the older kit is gone follows
# its removal.
REMOVE_EXISTING_SEQUENCE = 1401
OLDER_REMOVED_SEQUENCE = 1402
LICENCE_MESSAGE = ("The printer driver kit installs only with ACCEPT_LICENCE=1: read the licence "
                   "agreement (License_EN.txt in the kit) and accept it on the msiexec command line.")
# flavour -> (package platform, 64-bit components, Program Files folder)
PLATFORMS = {"x64": ("x64", True, "ProgramFiles64Folder"), "x86": ("x86", False, "ProgramFilesFolder")}


class MsiError(Exception):
    pass


def kit_version(path=VERSION_FILE):
    """The kit's version from its data file: three numbers, as MSI compares them."""
    with open(path, encoding="ascii") as f:
        version = f.readline().strip()
    parts = version.split(".")
    if len(parts) != 3 or not all(p.isdigit() and int(p) < 65536 for p in parts) or int(parts[0]) > 255:
        raise MsiError("%s: the version must read major.minor.build, not %r" % (path, version))
    return version


def guid(*parts):
    return "{%s}" % str(uuid.uuid5(NAMESPACE, "/".join(parts))).upper()


def identifier(prefix, relative):
    """A short MSI identifier for a kit path (letters, digits, dots, underscores)."""
    return "%s_%s" % (prefix, uuid.uuid5(NAMESPACE, relative).hex[:24])


def content_digest(folder, files):
    digest = hashlib.sha256()
    for relative in sorted(files):
        digest.update(relative.encode("utf-8") + b"\0")
        with open(os.path.join(folder, *relative.split("/")), "rb") as f:
            digest.update(hashlib.sha256(f.read()).digest())
    return digest.hexdigest()


def _quoted_option(option, prop):
    # An empty property gives an empty value: kitsetup takes it as the
    # page's own choice.
    return '%s "[%s]"' % (option, prop)


def wxs(flavour, folder, files, records, base, version):
    """The WiX source of a kit folder's package; records is the folder of
    the empty record file and the removal's script; file sources are named
    relative to base (wixl takes no absolute ones). The product code follows
    the version, the upgrade code stays: a newer kit replaces an older one
    (a major upgrade: the older package's removal runs first, its printers
    included, then the newer install with the command line's properties)."""
    _, win64, program_files = PLATFORMS[flavour]
    win64_attr = ' Win64="yes"' if win64 else ""
    lines = ['<?xml version="1.0" encoding="utf-8"?>',
             '<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">',
             '  <Product Id=%s Name=%s Language="%s" Version="%s" Manufacturer=%s UpgradeCode=%s>'
             % (quoteattr(guid(flavour, "product", version)), quoteattr(PRODUCT_NAME), LANGUAGE, version,
                quoteattr(MANUFACTURER), quoteattr(guid(flavour, "upgrade"))),
             '    <Package InstallerVersion="200" Compressed="yes" InstallScope="perMachine"'
             ' Description=%s Manufacturer=%s/>' % (quoteattr(PRODUCT_NAME), quoteattr(MANUFACTURER)),
             '    <Media Id="1" Cabinet="kit.cab" EmbedCab="yes"/>',
             '    <MajorUpgrade DowngradeErrorMessage=%s/>' % quoteattr(DOWNGRADE_MESSAGE),
             '    <Binary Id="%s" SourceFile=%s/>'
             % (ACTIONS_BINARY, quoteattr(os.path.relpath(os.path.join(records, os.path.basename(ACTIONS_SCRIPT)), base))),
             '    <Condition Message=%s>Installed OR %s="1"</Condition>'
             % (quoteattr(LICENCE_MESSAGE), LICENCE_PROPERTY),
             '    <Condition Message=%s>NOT Installed OR REMOVE OR NOT (%s)</Condition>'
             % (quoteattr(INSTALLED_MESSAGE), " OR ".join(p for p, _ in PROPERTIES))]
    # The folder tree.
    tree = {}
    for relative in files:
        node = tree
        for part in relative.split("/")[:-1]:
            node = node.setdefault(part, {})
        node.setdefault(None, []).append(relative)
    components = []
    file_ids = {}

    def emit(node, path, indent):
        for relative in node.get(None, []):
            cid, fid = identifier("c", relative), identifier("f", relative)
            file_ids[relative] = fid
            components.append(cid)
            source = os.path.relpath(os.path.join(folder, *relative.split("/")), base)
            lines.append('%s<Component Id="%s" Guid=%s%s><File Id="%s" Name=%s Source=%s KeyPath="yes"/></Component>'
                         % (indent, cid, quoteattr(guid(flavour, "file", relative.lower())), win64_attr, fid,
                            quoteattr(relative.split("/")[-1]), quoteattr(source)))
        for name in sorted(k for k in node if k is not None):
            sub = path + "/" + name if path else name
            lines.append('%s<Directory Id="%s" Name=%s>' % (indent, identifier("d", sub), quoteattr(name)))
            emit(node[name], sub, indent + "  ")
            lines.append("%s</Directory>" % indent)

    lines.append('    <Directory Id="TARGETDIR" Name="SourceDir">')
    lines.append('      <Directory Id="%s">' % program_files)
    lines.append('        <Directory Id="INSTALLFOLDER" Name="%s">' % INSTALL_FOLDER_NAME)
    emit(tree, "", "          ")
    # The record the install writes is a file of the package (empty as
    # shipped), so that the package's removal takes it along.
    for name in (RECORD_FILE,):
        lines.append('          <Component Id="%s" Guid=%s%s><File Id="%s" Name=%s Source=%s KeyPath="yes"/></Component>'
                     % (identifier("c", name), quoteattr(guid(flavour, "record", name)), win64_attr,
                        identifier("f", name), quoteattr(name), quoteattr(os.path.relpath(os.path.join(records, name), base))))
        components.append(identifier("c", name))
    lines.append("        </Directory>")
    lines.append("      </Directory>")
    lines.append("    </Directory>")
    lines.append('    <Feature Id="Kit" Level="1">')
    for cid in components:
        lines.append('      <ComponentRef Id="%s"/>' % cid)
    lines.append("    </Feature>")
    for program in ("kitsetup.exe", "Uninstall.exe"):
        if program not in file_ids:
            raise MsiError("the kit folder %s has no %s" % (folder, program))
    options = " ".join(_quoted_option(option, prop) for prop, option in PROPERTIES)
    # The logs outlive the package (and a failed install's rollback): in
    # the (system's) temporary folder.
    install = ('--quiet --accept-licence %s --record "[INSTALLFOLDER]%s" --log "[TempFolder]%s"'
               % (options, RECORD_FILE, INSTALL_LOG))
    removal = ('"[INSTALLFOLDER]Uninstall.exe" --quiet --printers-from "[INSTALLFOLDER]%s" --skip-missing --log "[TempFolder]%s"'
               '|[TempFolder]%s|[TempFolder]%s' % (RECORD_FILE, REMOVAL_LOG, REMOVAL_LOG, RESTART_MARK))
    # Deferred and elevated (no impersonation): the installed programs
    # themselves (a quiet Uninstall reads the kit folder it was started
    # from). A removal that leaves a printer or is refused fails the
    # package's removal (kit_actions.js), which then stays installed.
    lines.append('    <CustomAction Id="QuietInstall" FileKey="%s" ExeCommand=%s Execute="deferred"'
                 ' Impersonate="no" Return="check"/>' % (file_ids["kitsetup.exe"], quoteattr(install)))
    lines.append('    <CustomAction Id="QuietRemovalData" Property="QuietRemoval" Value=%s/>' % quoteattr(removal))
    lines.append('    <CustomAction Id="QuietRemoval" BinaryKey="%s" JScriptCall="QuietRemoval" Execute="deferred"'
                 ' Impersonate="no" Return="check"/>' % ACTIONS_BINARY)
    lines.append('    <CustomAction Id="RestartWhenAsked" BinaryKey="%s" JScriptCall="RestartWhenAsked" Return="check"/>'
                 % ACTIONS_BINARY)
    lines.append('    <CustomAction Id="OlderKitRemoved" BinaryKey="%s" JScriptCall="OlderKitRemoved" Return="check"/>'
                 % ACTIONS_BINARY)
    lines.append("    <InstallExecuteSequence>")
    lines.append('      <Custom Action="QuietInstall" Sequence="%d">NOT Installed AND NOT REMOVE</Custom>' % INSTALL_SEQUENCE)
    lines.append('      <Custom Action="QuietRemovalData" Sequence="%d">REMOVE=&quot;ALL&quot;</Custom>'
                 % (REMOVAL_SEQUENCE - 1))
    lines.append('      <Custom Action="QuietRemoval" Sequence="%d">REMOVE=&quot;ALL&quot;</Custom>' % REMOVAL_SEQUENCE)
    lines.append('      <Custom Action="RestartWhenAsked" Sequence="%d">REMOVE=&quot;ALL&quot;</Custom>' % RESTART_SEQUENCE)
    lines.append('      <Custom Action="OlderKitRemoved" Sequence="%d">WIX_UPGRADE_DETECTED</Custom>'
                 % OLDER_REMOVED_SEQUENCE)
    lines.append("    </InstallExecuteSequence>")
    lines.append("  </Product>")
    lines.append("</Wix>")
    return "\n".join(lines) + "\n"


def secure_properties():
    """Public properties pass from the client to the elevated server side
    only when listed as secure: the upgrade's and the package's own."""
    return ";".join(list(UPGRADE_PROPERTIES) + [LICENCE_PROPERTY] + [p for p, _ in PROPERTIES])


def finish_tables(target, env):
    """What wixl cannot write: the secure properties (wixl writes its own
    list for the upgrade, and refuses a second), and the older package's
    removal right after InstallValidate, before anything of the newer one is
    installed (wixl puts it after InstallFinalize, where the older package's
    removal would read the newer one's record and remove its printers)."""
    for query in ("UPDATE `Property` SET `Value` = '%s' WHERE `Property` = 'SecureCustomProperties'"
                  % secure_properties(),
                  "UPDATE `InstallExecuteSequence` SET `Sequence` = %d WHERE `Action` = 'RemoveExistingProducts'"
                  % REMOVE_EXISTING_SEQUENCE):
        result = subprocess.run(["msibuild", os.path.basename(target), "-q", query], env=env,
                                cwd=os.path.dirname(os.path.abspath(target)),
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        if result.returncode != 0:
            raise MsiError("msibuild failed for %s: %s" % (target, (result.stderr or result.stdout).strip()))


def write_actions_script(target):
    """The removal's script with the package's file names it looks for
    (named once, here) ahead of its functions."""
    with open(ACTIONS_SCRIPT, encoding="utf-8") as f:
        script = f.read()
    names = 'var kRecordFile = "%s", kRemovalLog = "%s", kRestartMark = "%s";\n' % (RECORD_FILE, REMOVAL_LOG,
                                                                                  RESTART_MARK)
    with open(target, "w", encoding="utf-8", newline="\r\n") as f:
        f.write(names + script)


def build(flavour, folder, files, target, epoch, version=None):
    """Writes the package of the kit folder to target (of the kit's version
    unless another is given)."""
    version = version or kit_version()
    source = target + ".wxs"
    records = target + ".records"
    os.makedirs(records, exist_ok=True)
    open(os.path.join(records, RECORD_FILE), "wb").close()
    write_actions_script(os.path.join(records, os.path.basename(ACTIONS_SCRIPT)))
    # The cabinet keeps each file's time: all get the kit's one time.
    for path in [os.path.join(folder, *r.split("/")) for r in files] + [os.path.join(records, RECORD_FILE)]:
        os.utime(path, (epoch, epoch))
    with open(source, "w", encoding="utf-8", newline="\n") as f:
        f.write(wxs(flavour, folder, files, records, os.path.dirname(os.path.abspath(target)), version))
    env = dict(os.environ, SOURCE_DATE_EPOCH=str(epoch))
    built_at = time.time()
    arch = "x64" if PLATFORMS[flavour][1] else "x86"
    result = subprocess.run(["wixl", "-a", arch, "-o", os.path.basename(target), os.path.basename(source)], env=env,
                            cwd=os.path.dirname(os.path.abspath(target)),
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    os.remove(source)
    shutil.rmtree(records)
    if result.returncode != 0:
        raise MsiError("wixl failed for %s: %s" % (flavour, (result.stderr or result.stdout).strip()))
    finish_tables(target, env)
    fix_package_code(target, guid(flavour, "package", version, content_digest(folder, files)))
    fix_summary_times(target, built_at, epoch)


def fix_summary_times(path, built_at, epoch):
    """wixl writes the build's own time as the summary's creation and
    last-save times; the kit's package carries its one fixed time instead.
    Each is a VT_FILETIME property (type 0x40, then 100-ns ticks since 1601)
    in the summary stream, stored uncompressed: the values within the build's
    minute are replaced in place."""
    with open(path, "rb") as f:
        data = bytearray(f.read())
    tag = struct.pack("<I", VT_FILETIME)
    low = int((built_at - SUMMARY_TIME_SLACK + FILETIME_EPOCH_OFFSET) * FILETIME_TICKS)
    high = int((time.time() + SUMMARY_TIME_SLACK + FILETIME_EPOCH_OFFSET) * FILETIME_TICKS)
    fixed = struct.pack("<Q", int((epoch + FILETIME_EPOCH_OFFSET) * FILETIME_TICKS))
    found = 0
    at = data.find(tag)
    while at >= 0:
        (value,) = struct.unpack_from("<Q", data, at + 4) if at + 12 <= len(data) else (0,)
        if low <= value <= high:
            data[at + 4:at + 12] = fixed
            found += 1
        at = data.find(tag, at + 1)
    if found != SUMMARY_TIMES:
        raise MsiError("%s: %d summary times found where %d are expected" % (path, found, SUMMARY_TIMES))
    with open(path, "wb") as f:
        f.write(bytes(data))


def package_code(path):
    """The package code (the summary's revision number) msiinfo reads."""
    result = subprocess.run(["msiinfo", "suminfo", path], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    for line in result.stdout.splitlines():
        if line.startswith(REVISION_LINE):
            return line[len(REVISION_LINE):].strip()
    raise MsiError("%s has no package code: %s" % (path, result.stderr.strip()))


def fix_package_code(path, code):
    """wixl gives every package a new random package code; the kit's
    follows its content instead. The code is a 38-character text in the
    summary information stream, stored uncompressed, so it is replaced in
    place."""
    random_code = package_code(path).encode("ascii")
    with open(path, "rb") as f:
        data = f.read()
    if data.count(random_code) != 1 or len(code) != len(random_code):
        raise MsiError("%s: the package code %s is not where it is expected" % (path, random_code.decode()))
    with open(path, "wb") as f:
        f.write(data.replace(random_code, code.encode("ascii")))
    if package_code(path) != code:
        raise MsiError("%s: the package code could not be set" % path)
