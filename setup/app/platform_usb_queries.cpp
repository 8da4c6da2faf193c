#include "setup/app/platform_usb_queries.h"

#include <cstdio>

#include "platform/platform.h"

namespace kit::setup {
namespace {

// The two spellings of the family's vendor prefix in hardware ids; the
// product id's four hexadecimal digits follow it.
constexpr std::u16string_view kVendorPrefixUpper = u"USB\\VID_7A5C&PID_";
constexpr std::u16string_view kVendorPrefixLower = u"USB\\Vid_7a5c&Pid_";
constexpr std::size_t kProductIdDigits = 4;
// The hardware-id property is read into a buffer of this many bytes.
constexpr std::uint32_t kHardwareIdBufferBytes = 1024;
constexpr std::u16string_view kInstalledDriver = u"\\system32\\drivers\\KVPUSB.sys";


int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// The product id after the vendor prefix in a hardware-id multi-string.
std::optional<unsigned> ProductIdIn(std::u16string_view ids) {
  std::size_t at = ids.find(kVendorPrefixUpper);
  if (at == std::u16string_view::npos) at = ids.find(kVendorPrefixLower);
  if (at == std::u16string_view::npos) return std::nullopt;
  const std::size_t start = at + kVendorPrefixUpper.size();
  unsigned value = 0;
  for (std::size_t i = 0; i < kProductIdDigits; ++i) {
    const int d = start + i < ids.size() ? HexDigit(ids[start + i]) : -1;
    if (d < 0) break;  // read as far as the digits go, as a hex conversion does
    value = value * 16 + static_cast<unsigned>(d);
  }
  return value;
}

}  // namespace

int PlatformUsbQueries::ClassifyConnectedPrinters() {
  auto set = devices_.SetupDiGetClassDevs(nullptr, u"", kDigcfAllClasses | kDigcfPresent);
  if (!set) return kUsbMakerDriverOrNone;
  std::vector<unsigned> ids;
  DeviceInfoData device;
  for (std::uint32_t i = 0; set->SetupDiEnumDeviceInfo(i, &device); ++i) {
    Bytes buffer;
    std::uint32_t type = 0, needed = 0;
    if (!set->SetupDiGetDeviceRegistryProperty(device, kSpdrpHardwareId, &type, &buffer, kHardwareIdBufferBytes,
                                               &needed))
      continue;
    std::u16string text;
    for (std::size_t b = 0; b + 1 < buffer.size(); b += 2)
      text.push_back(static_cast<char16_t>(buffer[b] | (buffer[b + 1] << 8)));
    if (auto id = ProductIdIn(text)) ids.push_back(*id);
  }
  return ClassifyProductIds(ids);
}

std::string PlatformUsbQueries::InstalledUsbDriverVersion() {
  const WString path = system_.GetWindowsDirectory() + WString(kInstalledDriver);
  FileVersionInfo info;
  bool ok = false;
  {
    RedirectionGuard guard(system_, files_, is_64bit_, notice_);
    ok = files_.GetFileVersionInfo(path, &info);
  }
  if (!ok || info.translations.empty()) return kNoDriverVersion;
  char block[64];
  std::snprintf(block, sizeof block, "\\StringFileInfo\\%04x%04x\\FileVersion", info.translations[0].language,
                info.translations[0].code_page);
  WString value;
  if (!info.QueryString(FromUtf8(block), &value)) return kNoDriverVersion;
  return ToUtf8(value);
}

}  // namespace kit::setup
