// What the port page asks about USB: the connected printer's USB id, how the
// connected family printers are driven, and which version of the maker's
// USB printer driver is installed.
// This file is OS-independent.
#pragma once

#include <string>

#include "setup/usb/usb_prompts.h"

namespace kit::setup {

// Results of the printer classification.
inline constexpr int kUsbClassPrintersOnly = 1;  // only class printers connected
inline constexpr int kUsbMakerDriverOrNone = 2;  // none, or maker-driver printers only
inline constexpr int kUsbMixedPrinters = 3;

// Results of reading the printer's USB id besides the id itself.
inline constexpr int kNoUsbPrinter = -1;        // no printer, or the library failed
inline constexpr int kSeveralUsbPrinters = -2;  // more than one printer (the box was shown)

// The version text of a driver that is not installed.
inline constexpr char kNoDriverVersion[] = "0.0.0.0";

class UsbQueries {
 public:
  virtual ~UsbQueries() = default;
  // The release number of the one connected family printer (0-65535),
  // kNoUsbPrinter or kSeveralUsbPrinters; failures are told through
  // `prompts`.
  virtual int ReadPrinterUsbId(UsbPrompts& prompts) = 0;
  // kUsbClassPrintersOnly, kUsbMakerDriverOrNone or kUsbMixedPrinters.
  virtual int ClassifyConnectedPrinters() = 0;
  // "FileVersion" of the installed "system32\drivers\KVPUSB.sys" below the
  // Windows folder; kNoDriverVersion when it is missing or has none.
  virtual std::string InstalledUsbDriverVersion() = 0;
};

}  // namespace kit::setup
