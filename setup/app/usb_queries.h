// The two questions the port page asks about USB: how the connected family
// printers are driven, and which version of the maker's USB printer driver
// is installed. This file is OS-independent.
#pragma once

#include <string>
#include <vector>


namespace kit::setup {

// Results of the printer classification.
inline constexpr int kUsbClassPrintersOnly = 1;  // only class printers connected
inline constexpr int kUsbMakerDriverOrNone = 2;  // none, or maker-driver printers only
inline constexpr int kUsbMixedPrinters = 3;

// The version text of a driver that is not installed.
inline constexpr char kNoDriverVersion[] = "0.0.0.0";

class UsbQueries {
 public:
  virtual ~UsbQueries() = default;
  // kUsbClassPrintersOnly, kUsbMakerDriverOrNone or kUsbMixedPrinters.
  virtual int ClassifyConnectedPrinters() = 0;
  // "FileVersion" of the installed "system32\drivers\KVPUSB.sys" below the
  // Windows folder; kNoDriverVersion when it is missing or has none.
  virtual std::string InstalledUsbDriverVersion() = 0;
};

// The classification of a list of family product ids (hexadecimal values
// taken after "USB\VID_7A5C&PID_").
int ClassifyProductIds(const std::vector<unsigned>& product_ids);

}  // namespace kit::setup
