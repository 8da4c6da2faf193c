// The maker's USB printer driver "KVPUSB.sys": the version the package
// carries against the installed one, and the start of the USB installer
// "Install" that puts it in place.
// This file is OS-independent.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "setup/usb/usb_env.h"
#include "setup/usb/usb_prompts.h"

namespace kit::setup {

// The USB installer's folder in the package by bitness, and its files.
inline constexpr char kUsbDriverFolder32[] = "\\USBDRV\\USBDriver";
inline constexpr char kUsbDriverFolder64[] = "\\USBDRV\\USBDriver_x64";
inline constexpr char kUsbInstaller[] = "\\Install.exe";
inline constexpr char kUsbDriverFile[] = "\\KVPUSB.sys";
inline constexpr char kUsbDriverInf[] = "\\KVPUSB.INF";
// The installed driver, below the Windows folder.
inline constexpr char16_t kInstalledUsbDriver[] = u"\\system32\\drivers\\KVPUSB.sys";
// The installer's action that installs or updates the driver.
inline constexpr char kInstallUsbDriverAction[] = "2";
// The wait after starting it, in its three steps.
inline constexpr std::array<std::uint32_t, 3> kUsbDriverInstallPauses = {500, 1000, 2000};

// Results of the version check.
inline constexpr int kUsbDriverNotInstalled = -1;
inline constexpr int kUsbDriverOlder = 1;
inline constexpr int kUsbDriverCurrent = 0;

// A version text's fields (major, minor, build, revision): dots or ", "
// between them, each the decimal digits it starts with, missing fields 0.
using VersionFields = std::array<unsigned long, 4>;
VersionFields ParseVersionFields(std::string_view text);

// The check on two "FileVersion" texts: equal texts are current; an
// all-zero installed version is not installed; otherwise the fields
// compare as numbers.
int CompareUsbDriverVersions(std::string_view installed, std::string_view package);

// "FileVersion" of the first translation of a file's version resource;
// "0.0.0.0" when the file or the text is missing.
std::string ReadFileVersionText(Files& files, WStringView path);

// The package's USB installer folder for the bitness, in the package folder.
std::string UsbDriverFolder(const UsbEnv& env);

// The installed driver's version text, read with file-system redirection
// off on 64-bit Windows (the guard's texts go to `prompts`).
std::string InstalledUsbDriverVersion(const UsbEnv& env, UsbPrompts& prompts);

// -1 not installed, 1 older than the package's, 0 the same or newer.
int CheckUsbDriverVersion(const UsbEnv& env, UsbPrompts& prompts);

// Starts the package's "Install.exe" with `parameters` ("open", normal
// window, not waited for); a start that fails is not reported.
void StartUsbInstaller(const UsbEnv& env, std::string_view parameters);

// On Windows 2000 and later, when the installed driver is missing or older:
// the package's driver files made archive-only, "Install" started with "2",
// and 3.5 seconds to let it begin. True when "Install" was started.
bool InstallUsbDriverIfNeeded(const UsbEnv& env, UsbPrompts& prompts);

}  // namespace kit::setup
