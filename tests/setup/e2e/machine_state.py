#!/usr/bin/env python3
"""What an install leaves on a virtual machine, in a stable form.

Reads the state `vmachine show DIR all --json` prints (standard input) and
the machine folder (argument), and prints the parts an install changes:
printers, drivers, monitors, print processors, ports, programs started,
USB devices with their ids and writes, the kit's install records and serial
settings in the registry, and the driver files below system32\\drivers.
Clocks, handles, process ids and paths of the build are left out, so that
the output can be compared with an expected state kept beside the tests.
"""
import json
import os
import sys

BUILTIN_PORT_MONITOR = "Local Port"


def registry_values(node, path, out):
    for name, value in sorted(node.get("v", {}).items()):
        data = bytes.fromhex(value.get("d", ""))
        kind = value.get("t")
        if kind == 4 and len(data) == 4:
            shown = int.from_bytes(data, "little")
        elif kind in (1, 2):
            shown = data.decode("utf-16-le").rstrip("\0")
        else:
            shown = value.get("d", "")
        out[path + "\\" + name] = shown
    for name, child in sorted(node.get("k", {}).items()):
        registry_values(child, path + "\\" + name, out)


def key(root, path):
    node = root
    for part in path.split("\\"):
        match = [k for k in node.get("k", {}) if k.lower() == part.lower()]
        if not match:
            return None
        node = node["k"][match[0]]
    return node


def host_folder(machine, windows_path):
    """The host folder of a Windows folder on drive C:, found without case."""
    folder = os.path.join(machine, "drive_c")
    for part in windows_path.split("\\")[1:]:
        if not os.path.isdir(folder):
            return None
        match = [n for n in os.listdir(folder) if n.lower() == part.lower()]
        if not match:
            return None
        folder = os.path.join(folder, match[0])
    return folder


def main():
    state = json.load(sys.stdin)
    machine = sys.argv[1]
    spooler = state["spooler"]
    default = spooler.get("default_printer", "")
    summary = {
        "printers": sorted(
            ({"name": p["name"], "port": p["port"], "driver": p["driver"],
              "processor": p.get("print_processor", ""), "default": p["name"] == default}
             for p in spooler.get("printers", [])), key=lambda p: p["name"]),
        "drivers": sorted(
            ({"name": d["name"], "environment": d.get("environment", ""), "version": d.get("version", 0),
              "monitor": d.get("monitor", "")}
             for d in spooler.get("drivers", []) if not d.get("builtin")), key=lambda d: (d["name"], d["environment"])),
        "monitors": sorted(m["name"] + " (" + m.get("dll", "") + ")"
                           for m in spooler.get("monitors", []) if not m.get("builtin")),
        "processors": sorted(p["name"] + " [" + p.get("environment", "") + "] (" + p.get("dll", "") + ")"
                             for p in spooler.get("processors", []) if not p.get("builtin")),
        "ports": sorted(p["name"] + " " + p.get("monitor", "")
                        for p in spooler.get("ports", []) if p.get("monitor") != BUILTIN_PORT_MONITOR),
        "launches": [(l.get("verb", "") + " " + l["file"] + " " + l.get("parameters", "")).strip()
                     for l in state.get("launches", [])],
        "devices": [],
    }
    for d in state.get("devices", {}).get("list", []):
        if not d.get("plugged", True):
            continue
        entry = {"id": (d.get("hardware_ids") or [""])[0], "class": d.get("class", ""),
                 "driver_inf": d.get("driver_inf", "")}
        usb = d.get("usb")
        if usb:
            entry["release"] = usb.get("release", 0)
            entry["writes"] = [w.get("data", "") for w in usb.get("writes", [])]
        summary["devices"].append(entry)
    hklm = state["registry"]["HKLM"]
    records = {}
    for path in ("SOFTWARE\\VELDRAN", "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports"):
        node = key(hklm, path)
        if node is not None:
            registry_values(node, path, records)
    summary["registry"] = records
    windows = state["system"].get("windows_dir", "C:\\Windows")
    drivers = host_folder(machine, windows + "\\system32\\drivers")
    summary["driver_files"] = sorted(n.upper() for n in os.listdir(drivers)) if drivers else []
    json.dump(summary, sys.stdout, indent=1, sort_keys=True, ensure_ascii=False)
    sys.stdout.write("\n")


if __name__ == "__main__":
    main()
