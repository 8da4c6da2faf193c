#!/usr/bin/env python3
"""Lays out the kit as it ships, from the builds, and zips it.

    python3 package/make_kit.py [--builds DIR] [--linux-build DIR] [--out DIR]
                                [--sign-cert PEM --sign-key PEM] [--no-msi] [x86|x64|linux ...]

Each build lays out its own kit folder (<build>/kit: the kit's data, the
front-ends of its bitness, the plug-in in the payload folder of its
bitness). A flavour is the kit folder of one build with the other bitness's
parts taken from the other Windows build:

  x86    the i686 front-ends (for 32- and 64-bit Windows); W64\\ and
         USBDRV\\USBDriver_x64\\ from the x86_64 build
  x64    the x86_64 front-ends (64-bit Windows only); W32\\ and
         USBDRV\\USBDriver\\ from the i686 build
  linux  the Linux build's kit folder as it is (not zipped): the Linux
         programs where the Windows ones stand, for the virtual machine

Out (by default <builds>/package): the folder of each flavour, and for x86
and x64 "kit-<flavour>.zip" with "kit-<flavour>.files.txt" (one line a file:
path, size, SHA-256, tab-separated). Zips are reproducible: entries sorted
by name, every timestamp the same fixed time, the same bytes each run.

The Windows flavours ship lean: every PE image (program or DLL) stripped of
its debug sections, which go into "kit-<flavour>-symbols.zip" beside the
zip (one "<path>.debug" a binary, named in the binary's .gnu_debuglink).
With --sign-cert and --sign-key (PEM files) every .exe and .dll image is signed
with Authenticode before it is listed and zipped, and so is the MSI
package. Unless --no-msi, "kit-<flavour>.msi" holds the same kit folder
for msiexec (package/msi/make_msi.py). Stripping, signing and the MSI are
reproducible too: the same builds and key give the same bytes.

Every input is checked before anything is written: a missing build output
stops the run with its path named, and a flavour's folder and zip are
written under temporary names and renamed into place only when complete.
"""
import argparse
import calendar
import hashlib
import os
import shutil
import sys
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
HERE = os.path.dirname(os.path.abspath(__file__))
for _part in ("lean", "sign", "msi"):
    sys.path.insert(0, os.path.join(HERE, _part))
import authenticode  # noqa: E402
import make_msi  # noqa: E402
import strip_pe  # noqa: E402

# Every zip entry carries this time (zip time has no zone and starts 1980).
ZIP_TIME = (2026, 1, 1, 0, 0, 0)
ZIP_COMPRESSION = zipfile.ZIP_DEFLATED
ZIP_LEVEL = 9
# The same time for what the binutils, the signatures and wixl write.
EPOCH = calendar.timegm(ZIP_TIME + (0, 0, 0))
# The build of each Windows bitness, by preset.
BUILD_32 = "mingw-x86"
BUILD_64 = "mingw-x64"
BUILD_LINUX = "linux-release"
PAYLOAD_32 = "W32"
PAYLOAD_64 = "W64"
USB_DRIVER_32 = os.path.join("USBDRV", "USBDriver")
USB_DRIVER_64 = os.path.join("USBDRV", "USBDriver_x64")

# flavour -> (build of the front-ends, program suffix, {kit part: build it comes from}, zipped)
FLAVOURS = {
    "x86": (BUILD_32, ".exe", {PAYLOAD_64: BUILD_64, USB_DRIVER_64: BUILD_64}, True),
    "x64": (BUILD_64, ".exe", {PAYLOAD_32: BUILD_32, USB_DRIVER_32: BUILD_32}, True),
    "linux": (BUILD_LINUX, "", {}, False),
}
FRONT_ENDS = ("kitsetup", "Uninstall")
# The USB hand-off's folder: taken when a build lays it out.
USB_PARTS = (USB_DRIVER_32, USB_DRIVER_64)


class PackagingError(Exception):
    pass


def require(path, what):
    if not os.path.exists(path):
        raise PackagingError("%s is missing: %s" % (what, path))
    return path


def files_below(folder):
    """Kit-relative paths ("/" between folders) of every file below folder, sorted."""
    out = []
    for here, dirs, names in os.walk(folder):
        dirs.sort()
        for name in names:
            out.append(os.path.relpath(os.path.join(here, name), folder).replace(os.sep, "/"))
    return sorted(out)


def build_folder(builds, build):
    """The folder of a preset's build: <builds>/<preset>, or a folder given for it."""
    return builds.get(build) or os.path.join(builds[None], build)


def plan(builds, flavour):
    """{kit-relative path: source file} of a flavour; raises on a missing input."""
    build, suffix, others, _ = FLAVOURS[flavour]
    kit = require(os.path.join(build_folder(builds, build), "kit"), "the kit folder of the %s build" % build)
    for program in FRONT_ENDS:
        require(os.path.join(kit, program + suffix), "the %s build's %s" % (build, program))
    own_parts = set(others)
    # The USB hand-off: once one build lays out its part, every build must.
    usb_present = any(os.path.isdir(os.path.join(build_folder(builds, b), "kit", p))
                      for p in USB_PARTS for b in (BUILD_32, BUILD_64, build))
    sources = {}
    for relative in files_below(kit):
        if any(relative == p.replace(os.sep, "/") or relative.startswith(p.replace(os.sep, "/") + "/")
               for p in own_parts):
            continue
        sources[relative] = os.path.join(kit, relative)
    for part, other_build in sorted(others.items()):
        if part in USB_PARTS and not usb_present:
            continue
        folder = require(os.path.join(build_folder(builds, other_build), "kit", part),
                         "%s of the %s build" % (part.replace(os.sep, "\\"), other_build))
        for relative in files_below(folder):
            sources[part.replace(os.sep, "/") + "/" + relative] = os.path.join(folder, relative)
    if usb_present:
        for part in USB_PARTS:
            if not any(r.startswith(part.replace(os.sep, "/") + "/") for r in sources):
                raise PackagingError("%s is missing from the kit folders of the builds (%s)"
                                     % (part.replace(os.sep, "\\"), builds[None]))
    return sources


def lay_out(sources, target):
    for relative, source in sorted(sources.items()):
        destination = os.path.join(target, *relative.split("/"))
        os.makedirs(os.path.dirname(destination), exist_ok=True)
        shutil.copyfile(source, destination)
        shutil.copymode(source, destination)


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 16), b""):
            digest.update(block)
    return digest.hexdigest()


def file_list(folder):
    lines = []
    for relative in files_below(folder):
        path = os.path.join(folder, *relative.split("/"))
        lines.append("%s\t%d\t%s\n" % (relative, os.path.getsize(path), sha256(path)))
    return "".join(lines)


def write_zip(folder, target):
    with zipfile.ZipFile(target, "w") as z:
        for relative in files_below(folder):
            info = zipfile.ZipInfo(relative, date_time=ZIP_TIME)
            info.compress_type = ZIP_COMPRESSION
            info.create_system = 0  # MS-DOS attributes, as Windows' own zips
            info.external_attr = 0
            with open(os.path.join(folder, *relative.split("/")), "rb") as f:
                z.writestr(info, f.read(), compresslevel=ZIP_LEVEL)


def remove(path):
    """Removes a file or a whole folder; nothing when there is none."""
    if os.path.isdir(path):
        shutil.rmtree(path)
    elif os.path.exists(path):
        os.remove(path)


def replace(temporary, final):
    remove(final)
    os.replace(temporary, final)


def make_lean(folder, symbols, build_folders):
    """Strips every PE image below folder, its debug sections into
    symbols/<path>.debug. An image that would not be the same bytes from a
    second build of the same sources (a link time, a build folder in it)
    stops the packaging."""
    for relative in files_below(folder):
        path = os.path.join(folder, *relative.split("/"))
        if strip_pe.pe_machine(path) is not None:
            problem = strip_pe.not_reproducible(path, build_folders)
            if problem:
                raise PackagingError("%s is not the same bytes from build to build: %s" % (relative, problem))
        strip_pe.strip(path, os.path.join(symbols, *(relative + strip_pe.DEBUG_SUFFIX).split("/")), EPOCH)


def sign_files(folder, signing):
    """Signs every PE image named .exe or .dll below folder. The maker's
    placeholders under those names (payload, RegUtility) are no images and
    stay as they are: the maker signs the real files."""
    for relative in files_below(folder):
        path = os.path.join(folder, *relative.split("/"))
        if authenticode.signs(relative) and strip_pe.pe_machine(path) is not None:
            Sign(path, signing)


def package(builds, out, flavours, signing=None, msi=True):
    plans = {f: plan(builds, f) for f in flavours}  # every input checked first
    os.makedirs(out, exist_ok=True)
    for flavour in flavours:
        zipped = FLAVOURS[flavour][3]
        folder = os.path.join(out, flavour)
        partial = folder + ".partial"
        outputs = {"zip": "kit-%s.zip" % flavour, "symbols": "kit-%s-symbols.zip" % flavour,
                   "msi": "kit-%s.msi" % flavour}
        symbols = os.path.join(out, "kit-%s-symbols.partial" % flavour)
        leftovers = [partial, symbols] + [os.path.join(out, name + ".partial") for name in outputs.values()]
        try:
            for leftover in leftovers:
                remove(leftover)
            lay_out(plans[flavour], partial)
            if zipped:
                make_lean(partial, symbols, sorted({ROOT} | {build_folder(builds, b) for b in (BUILD_32, BUILD_64)}))
                if signing:
                    sign_files(partial, signing)
            listing = file_list(partial)
            if zipped:
                write_zip(partial, os.path.join(out, outputs["zip"] + ".partial"))
                os.makedirs(symbols, exist_ok=True)
                write_zip(symbols, os.path.join(out, outputs["symbols"] + ".partial"))
                if msi and flavour in make_msi.PLATFORMS:
                    target = os.path.join(out, outputs["msi"] + ".partial")
                    make_msi.build(flavour, partial, files_below(partial), target, EPOCH)
                    if signing:
                        Sign(target, signing)
            replace(partial, folder)
            with open(os.path.join(out, "kit-%s.files.txt" % flavour), "w", newline="\n") as f:
                f.write(listing)
            if zipped:
                remove(symbols)
                for name in outputs.values():
                    if os.path.exists(os.path.join(out, name + ".partial")):
                        replace(os.path.join(out, name + ".partial"), os.path.join(out, name))
        except BaseException:
            for leftover in leftovers:
                try:
                    remove(leftover)
                except OSError:
                    pass  # the first failure is the one to report
            raise
        print("make_kit: %s: %s%s" % (flavour, folder, " and kit-%s.zip" % flavour if zipped else ""))


def Sign(path, signing):
    authenticode.sign(path, signing.cert, signing.key, signing.time, signing.timestamp_urls)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--builds", default=os.path.join(ROOT, "build"), help="the folder of the preset builds")
    parser.add_argument("--linux-build", help="the Linux build (default: <builds>/%s)" % BUILD_LINUX)
    parser.add_argument("--out", help="where the flavours go (default: <builds>/package)")
    parser.add_argument("--sign-cert", help="sign the Windows files with this certificate (PEM)")
    parser.add_argument("--sign-key", help="the certificate's private key (PEM)")
    parser.add_argument("--timestamp-url", action="append", default=[],
                        help="an RFC 3161 time-stamp authority (repeat for fallbacks): the signatures outlive the "
                             "certificate")
    parser.add_argument("--sign-time", type=int, default=EPOCH,
                        help="the signing time, in seconds since 1970 (default: the kit's fixed time)")
    parser.add_argument("--no-msi", action="store_true", help="write no MSI packages")
    parser.add_argument("flavours", nargs="*", help="x86, x64 or linux (default: all three)")
    args = parser.parse_args()
    if bool(args.sign_cert) != bool(args.sign_key):
        parser.error("--sign-key goes with --sign-cert")
    if args.timestamp_url and not args.sign_key:
        parser.error("--timestamp-url goes with signing")
    signing = None
    if args.sign_key:
        signing = argparse.Namespace(cert=os.path.abspath(args.sign_cert), key=os.path.abspath(args.sign_key),
                                     time=args.sign_time, timestamp_urls=args.timestamp_url)
    flavours = args.flavours or ["x86", "x64", "linux"]
    for flavour in flavours:
        if flavour not in FLAVOURS:
            parser.error("unknown flavour %s (x86, x64 or linux)" % flavour)
    try:
        builds = {None: os.path.abspath(args.builds)}
        if args.linux_build:
            builds[BUILD_LINUX] = os.path.abspath(args.linux_build)
        package(builds, os.path.abspath(args.out or os.path.join(args.builds, "package")), flavours, signing,
                not args.no_msi)
    except (PackagingError, OSError, strip_pe.StripError, authenticode.SignError, make_msi.MsiError) as e:
        print("make_kit: %s" % e, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
