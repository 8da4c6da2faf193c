// The layout of a kit folder as it ships: every file a program of the kit
// opens by a fixed name or by a name its configuration gives, and the check
// of a laid-out folder against it (every file there, nothing else).
//
// The configured names are read by the programs' own readers: the setup
// wizard's configuration for every model, Windows version, driver flavour
// and bitness (its 32-bit files name the W32\ payload, its 64-bit files the
// W64\ payload), and the uninstaller's Uninstall.ini (the monitor and
// processor files it removes must be files the payload installs).
// Linux builds.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kit::package {

// The three flavours: the i686 or the x86_64 Windows front-ends, or the
// Linux programs in their place.
enum class Flavour { kX86, kX64, kLinux };
bool ParseFlavour(std::string_view text, Flavour* flavour);

// The USB hand-off's part of the kit: the installer of each bitness with
// its driver packages, and the two outside USB libraries beside the
// front-ends.
inline constexpr char kUsbDriverFolder32[] = "USBDRV\\USBDriver";
inline constexpr char kUsbDriverFolder64[] = "USBDRV\\USBDriver_x64";
inline constexpr const char* kUsbDriverPackageFiles[] = {
    "KVPUSB.sys", "KVPUSB.INF", "kvsusb.inf", "KVSUSB.sys", "USBVCOM.INF", "USBVCOM.SYS", "XKVVCOM.INF", "XKVVCOM.SYS"};
inline constexpr const char* kUsbLibraries[] = {"KvUsbInt.dll", "USBPrintDll.dll"};

// The class-printer INF of a bitness for an `Inffilename` value: the payload
// folder + the value + "32.inf" / "64.inf", or "Setup.inf" when the value is
// empty or begins with "err".
std::string ClassPrinterInf(std::string_view inf_file_name, bool is_64bit);

struct RequiredFile {
  std::string path;  // kit-relative, "\" between folders, as the program names it
  std::string why;   // who opens it, by which name or key
};

struct LayoutOptions {
  Flavour flavour = Flavour::kX64;
  // Whether the USB hand-off's files (above) belong to the kit: they do
  // once the kit carries its USBDRV folder.
  bool usb_hand_off = true;
};

// Every file the kit's programs open, read from the kit folder `kit`
// itself. Paths named more than once appear once, with their first reason.
std::vector<RequiredFile> RequiredFiles(const std::filesystem::path& kit, const LayoutOptions& options);

struct LayoutReport {
  std::vector<RequiredFile> missing;    // required, not found (without case)
  std::vector<std::string> unexpected;  // in the folder, required by nobody
};
LayoutReport CheckLayout(const std::filesystem::path& kit, const LayoutOptions& options);

}  // namespace kit::package
