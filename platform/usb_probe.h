// The steps the wizard and the uninstaller share to ask KvUsbInt.dll about
// the connected family printers: load the library with the functions a
// caller needs, count the printers by index, and read the one printer's
// release number from its device descriptor. Each caller shows its own texts
// for the outcomes.
// This file is OS-independent.
#pragma once

#include <cstddef>
#include <span>
#include <memory>
#include <string_view>

#include "platform/usb_libraries.h"

namespace kit {

// Printers are opened by index 0 to 7.
inline constexpr int kUsbPrinterIndexCount = 8;
// A "USB_" port's index (1-8, its trailing "_n") belongs to the printer
// whose USB id (its descriptor's release number) gives it: (id mod 8) + 1.
inline constexpr int UsbPortIndexOfId(unsigned id) { return static_cast<int>(id % 8) + 1; }
// The descriptor is read into a zeroed buffer of this size.
inline constexpr std::size_t kUsbDescriptorBufferSize = 20;

enum class KvUsbIntLoad { kLoaded, kNoLibrary, kMissingFunction };

struct LoadedKvUsbInt {
  KvUsbIntLoad outcome = KvUsbIntLoad::kNoLibrary;
  std::unique_ptr<KvUsbInt> library;  // set only when kLoaded
};

// The library at `dll_path`, kept only when GetProcAddress finds every one
// of `functions`.
LoadedKvUsbInt LoadKvUsbIntWith(UsbLibraries& usb, WStringView dll_path,
                                std::span<const std::string_view> functions);

// The release number (the printer's USB id) of an open printer; false when
// its descriptor cannot be read.
bool ReadOpenRelease(KvUsbInt& library, UsbDeviceHandle device, unsigned* release);

// The first index that opens a printer; an invalid handle when none does.
UsbDeviceHandle OpenFirstUsbPrinter(KvUsbInt& library);

enum class UsbReleaseOutcome { kRelease, kNoPrinter, kSeveralPrinters, kNoDescriptor };

struct UsbRelease {
  UsbReleaseOutcome outcome = UsbReleaseOutcome::kNoPrinter;
  unsigned release = 0;  // the descriptor's bcdDevice, with kRelease
};

// Two printers that open are several (each is closed again at once);
// otherwise the first that opens is asked for its descriptor and closed.
UsbRelease ReadUsbRelease(KvUsbInt& library);

}  // namespace kit
