// Whether the window offers the USB-driver removal: a family USB driver file
// must be installed and a family printer attached. The device probe asks the
// maker's USB library KvUsbInt.dll.
// This file is OS-independent.
#pragma once

#include <functional>
#include <string>

#include "uninstall/flow/context.h"

namespace kit::uninstall {

inline constexpr char16_t kUsbDriverFile[] = u"\\System32\\drivers\\KVPUSB.sys";
inline constexpr char16_t kBulkUsbDriverFile[] = u"\\System32\\drivers\\BULKUSB.sys";

// The probe's message boxes, texts as the program shows them.
inline constexpr char kNoUsbLibrary[] = "Can not load KvUsbInt.dll";
inline constexpr char kNoUsbFunction[] = "open function error";
inline constexpr char kNoDeviceId[] = "Get Device ID error";
inline constexpr char kNoRevertFunction[] = "Can't Get Function Wow64RevertWow64FsRedirection Address";

enum class ProbeAnswer { kNoDevice, kSeveralDevices, kRelease };

// Shows a message box with the text, caption "Uninstall".
using MessageBoxFn = std::function<void(const std::string& text)>;

// The probe: kRelease with *release set for one attached printer.
ProbeAnswer ProbeUsbPrinter(const UninstallContext& ctx, const MessageBoxFn& box, unsigned* release);

// True when check box 1019 stays enabled: the driver is installed and, with
// `needs_printer`, the probe finds a family printer attached. Without
// `needs_printer` (the quiet removal) a family USB driver package in
// Windows' "inf" folder counts as installed too.
bool OfferUsbRemoval(const UninstallContext& ctx, const MessageBoxFn& box, bool needs_printer = true);

}  // namespace kit::uninstall
