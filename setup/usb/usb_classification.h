// Which kind of USB printer is connected: the family's devices by their
// hardware ids (maker-driver printers, class printers, other devices), and
// a class printer of a model in the connected-printer text of
// "USBPrintDll.dll".
// This file is OS-independent.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "setup/usb/usb_env.h"

namespace kit::setup {

// The family's vendor prefix in both spellings; the product id's four
// hexadecimal digits follow it.
inline constexpr std::string_view kVendorPrefixUpper = "USB\\VID_7A5C&PID_";
inline constexpr std::string_view kVendorPrefixLower = "USB\\Vid_7a5c&Pid_";
inline constexpr std::size_t kProductIdDigits = 4;
// Product ids of printers driven by the maker's driver.
inline constexpr unsigned kMakerDriverProductIds[] = {0x1000, 0x1001, 0x1002, 0x7A5C};
// Product ids from here up are other devices: they count only in the total.
inline constexpr unsigned kOtherDeviceProductIds = 0x2000;
// The hardware-id property is read into a buffer of this many bytes.
inline constexpr std::uint32_t kHardwareIdBufferBytes = 1024;

// Results of the class-printer lookup.
inline constexpr int kClassPrinterAbsent = 0;
inline constexpr int kClassPrinterUnnumbered = 5;
// A text holding this names a printer of port 1 whatever else it says.
inline constexpr std::string_view kFirstPortModel = "VRT-A1";
inline constexpr std::string_view kUsbMark = "(U)";
// How far before the "@" the port digit may stand.
inline constexpr std::size_t kPortDigitReach = 3;

// The product id in a device's first hardware id: the hexadecimal digits
// (up to four) after the vendor prefix; none when the prefix is missing or
// no digit follows it.
std::optional<unsigned> ProductIdOf(std::string_view first_hardware_id);

// The classification of the family product ids found.
int ClassifyProductIds(const std::vector<unsigned>& product_ids);

// Every present device of the machine, by its first hardware id.
int ClassifyConnectedPrinters(const UsbEnv& env);

// The lookup of `model` in the connected-printer text: 0 absent, 1 when
// "VRT-A1" is in the text, the port digit 1-4 of a "(U)" entry, else 5.
int LookUpClassPrinter(std::string_view text, std::string_view model);

// The lookup on the text the library gives (0 when it cannot be had).
int FindUsbClassPrinter(const UsbEnv& env, std::string_view model);

}  // namespace kit::setup
