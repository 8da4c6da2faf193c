#include "setup/usb/usb_classification.h"

#include <algorithm>

#include "platform/registry.h"
#include "setup/usb/usb_queries.h"
#include "ui/text.h"

namespace kit::setup {
namespace {

constexpr char kEnumFunction[] = "EnumUSBPrinter";
constexpr char kPortDigitFirst = '1';
constexpr char kPortDigitLast = '4';

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsMakerDriverId(unsigned id) {
  return std::find(std::begin(kMakerDriverProductIds), std::end(kMakerDriverProductIds), id) !=
         std::end(kMakerDriverProductIds);
}

// The first string of a REG_MULTI_SZ hardware-id property, up to its
// terminator or the end of what was read, in the ANSI code page.
std::string FirstHardwareId(const Bytes& property) {
  const std::vector<WString> ids = ParseMultiSz(property);
  return ids.empty() ? std::string() : ui::ToAnsi(ids.front());
}

}  // namespace

std::optional<unsigned> ProductIdOf(std::string_view id) {
  std::size_t at = id.find(kVendorPrefixUpper);
  if (at == std::string_view::npos) at = id.find(kVendorPrefixLower);
  if (at == std::string_view::npos) return std::nullopt;
  const std::string_view digits = id.substr(at + kVendorPrefixUpper.size());
  unsigned value = 0;
  std::size_t read = 0;
  // As far as the digits go, as a hexadecimal conversion reads.
  for (; read < kProductIdDigits && read < digits.size(); ++read) {
    const int d = HexDigit(digits[read]);
    if (d < 0) break;
    value = value * 16 + static_cast<unsigned>(d);
  }
  if (read == 0) return std::nullopt;
  return value;
}

int ClassifyProductIds(const std::vector<unsigned>& ids) {
  if (ids.empty()) return kUsbMakerDriverOrNone;
  std::size_t maker = 0, classic = 0;
  for (unsigned id : ids) {
    if (IsMakerDriverId(id)) ++maker;
    else if (id < kOtherDeviceProductIds) ++classic;
  }
  if (ids.size() == 1) return maker == 1 ? kUsbMakerDriverOrNone : kUsbClassPrintersOnly;
  if (classic == ids.size()) return kUsbClassPrintersOnly;
  if (maker == ids.size()) return kUsbMakerDriverOrNone;
  return kUsbMixedPrinters;
}

int ClassifyConnectedPrinters(const UsbEnv& env) {
  auto set = env.platform.devices.SetupDiGetClassDevs(nullptr, u"", kDigcfAllClasses | kDigcfPresent);
  if (!set) return kUsbMakerDriverOrNone;
  std::vector<unsigned> ids;
  DeviceInfoData device;
  for (std::uint32_t i = 0; set->SetupDiEnumDeviceInfo(i, &device); ++i) {
    Bytes property;
    std::uint32_t type = 0, needed = 0;
    if (!set->SetupDiGetDeviceRegistryProperty(device, kSpdrpHardwareId, &type, &property, kHardwareIdBufferBytes,
                                               &needed))
      continue;
    if (property.size() > kHardwareIdBufferBytes) property.resize(kHardwareIdBufferBytes);
    if (auto id = ProductIdOf(FirstHardwareId(property))) ids.push_back(*id);
  }
  return ClassifyProductIds(ids);
}

int LookUpClassPrinter(std::string_view text, std::string_view model) {
  if (model.empty()) return kClassPrinterAbsent;
  const std::size_t start = text.find(model);
  if (start == std::string_view::npos) return kClassPrinterAbsent;
  if (text.find(kFirstPortModel) != std::string_view::npos) return 1;
  const std::size_t at = text.find('@', start + model.size());
  if (at == std::string_view::npos) return kClassPrinterUnnumbered;
  const std::string_view piece = text.substr(start, at - start);
  if (piece.find(kUsbMark) == std::string_view::npos) return kClassPrinterUnnumbered;
  // The nearest digit counts; nothing before the text's start is looked at.
  for (std::size_t back = 1; back <= kPortDigitReach && back <= at; ++back) {
    const char c = text[at - back];
    if (c >= kPortDigitFirst && c <= kPortDigitLast) return c - '0';
  }
  return kClassPrinterUnnumbered;
}

int FindUsbClassPrinter(const UsbEnv& env, std::string_view model) {
  auto library = env.platform.usb.LoadUsbPrintDll(ui::FromAnsi(env.package_folder + "\\") + kUsbPrintDll);
  if (!library || !library->HasFunction(kEnumFunction)) return kClassPrinterAbsent;
  WString listed;
  if (library->EnumUSBPrinter(&listed) < 0) return kClassPrinterAbsent;
  std::string text = ui::ToAnsi(listed);
  // The library fills at most this many bytes.
  if (text.size() > kEnumUsbPrinterBufferSize) text.resize(kEnumUsbPrinterBufferSize);
  return LookUpClassPrinter(text, model);
}

}  // namespace kit::setup
