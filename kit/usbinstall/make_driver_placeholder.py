#!/usr/bin/env python3
"""Writes KVPUSB.SYS beside itself: a placeholder for the USB printer class
driver that carries what the kit reads from the real one, its version
resource. It is a PE32 image of the native subsystem with one resource
section holding VS_VERSIONINFO (file and product version, the English
string table "040904b0" with "FileVersion", and the translation), laid out
as a linker lays out a resource section, so GetFileVersionInfo reads it on
Windows and under Wine, and the virtual machine reads it the same way. It
has no code and cannot be loaded as a driver.

Run from anywhere; writes beside itself. The version follows DriverVer of
KVPUSB.INF."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
VERSION = (2, 0, 1, 6)
STRINGS = [
    ("CompanyName", "KVRO"),
    ("FileDescription", "KVRO USB Printer Driver"),
    ("FileVersion", "%d.%d.%d.%d" % VERSION),
    ("InternalName", "KVPUSB.SYS"),
    ("LegalCopyright", "KVRO"),
    ("OriginalFilename", "KVPUSB.SYS"),
    ("ProductName", "KVRO Printer Driver"),
    ("ProductVersion", "%d.%d.%d.%d" % VERSION),
]
LANGUAGE, CODE_PAGE = 0x0409, 1200

# Image layout: headers in the first 0x200 bytes of the file, the resource
# section at RVA 0x1000.
FILE_ALIGNMENT, SECTION_ALIGNMENT = 0x200, 0x1000
PE_OFFSET = 0x40
RESOURCE_RVA = 0x1000
IMAGE_BASE = 0x10000
RT_VERSION = 16
VS_FFI_SIGNATURE = 0xFEEF04BD
VOS_NT_WINDOWS32, VFT_DRV, VFT2_DRV_SYSTEM = 0x00040004, 3, 7
SUBSYSTEM_NATIVE = 1


def pad4(data):
    return data + b"\0" * (-len(data) % 4)


def utf16z(text):
    return (text + "\0").encode("utf-16-le")


def node(key, value=b"", value_length=0, text=False, children=()):
    body = pad4(struct.pack("<HHH", 0, value_length, 1 if text else 0) + utf16z(key))
    body = pad4(body + value) if children else body + value
    for child in children:
        body = pad4(body) + child
    return struct.pack("<H", len(body)) + body[2:]


def version_block():
    ms = (VERSION[0] << 16) | VERSION[1]
    ls = (VERSION[2] << 16) | VERSION[3]
    fixed = struct.pack("<13I", VS_FFI_SIGNATURE, 0x00010000, ms, ls, ms, ls, 0x3F, 0, VOS_NT_WINDOWS32, VFT_DRV,
                        VFT2_DRV_SYSTEM, 0, 0)
    entries = [node(k, utf16z(v), len(v) + 1, True) for k, v in STRINGS]
    table = node("%04x%04x" % (LANGUAGE, CODE_PAGE), text=True, children=entries)
    strings = node("StringFileInfo", text=True, children=[table])
    translation = node("Translation", struct.pack("<HH", LANGUAGE, CODE_PAGE), 4)
    variables = node("VarFileInfo", text=True, children=[translation])
    return node("VS_VERSION_INFO", fixed, len(fixed), children=[strings, variables])


def resource_section(block):
    # Root (type) -> name 1 -> language, each one id entry pointing on;
    # then the data entry and the data.
    def directory(entry_id, target, leaf=False):
        return struct.pack("<IIHHHH", 0, 0, 0, 0, 0, 1) + struct.pack(
            "<II", entry_id, target if leaf else (0x80000000 | target))
    data_offset = 0x58
    section = directory(RT_VERSION, 0x18) + directory(1, 0x30) + directory(LANGUAGE, 0x48, leaf=True)
    section += struct.pack("<IIII", RESOURCE_RVA + data_offset, len(block), 0, 0)
    section += b"\0" * (data_offset - len(section)) + block
    return section


def image():
    section = resource_section(version_block())
    raw_size = -(-len(section) // FILE_ALIGNMENT) * FILE_ALIGNMENT
    image_size = RESOURCE_RVA + -(-len(section) // SECTION_ALIGNMENT) * SECTION_ALIGNMENT
    dos = bytearray(PE_OFFSET)
    dos[0:2] = b"MZ"
    struct.pack_into("<I", dos, 0x3C, PE_OFFSET)
    coff = struct.pack("<HHIIIHH", 0x14C, 1, 0, 0, 0, 224, 0x0102)
    optional = struct.pack("<HBBIIIIII", 0x10B, 0, 0, 0, raw_size, 0, 0, RESOURCE_RVA, RESOURCE_RVA)
    optional += struct.pack("<IIIHHHHHHIIIIHHIIIIII", IMAGE_BASE, SECTION_ALIGNMENT, FILE_ALIGNMENT, 5, 0, 0, 0, 5, 0,
                            0, image_size, FILE_ALIGNMENT, 0, SUBSYSTEM_NATIVE, 0, 0x40000, 0x1000, 0x100000, 0x1000,
                            0, 16)
    directories = [(0, 0)] * 16
    directories[2] = (RESOURCE_RVA, len(section))
    optional += b"".join(struct.pack("<II", *d) for d in directories)
    assert len(optional) == 224
    header = struct.pack("<8sIIIIIIHHI", b".rsrc", len(section), RESOURCE_RVA, raw_size, FILE_ALIGNMENT, 0, 0, 0, 0,
                         0x40000040)
    headers = bytes(dos) + b"PE\0\0" + coff + optional + header
    headers += b"\0" * (FILE_ALIGNMENT - len(headers))
    return headers + section + b"\0" * (raw_size - len(section))


if __name__ == "__main__":
    with open(os.path.join(HERE, "KVPUSB.SYS"), "wb") as out:
        out.write(image())
