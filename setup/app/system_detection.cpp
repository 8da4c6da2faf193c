// The classification side of system detection: only the OS-code types here.
#include "setup/app/system_detection.h"

#include "common/oscode/os_code.h"

namespace kit::setup {
namespace {

constexpr std::uint32_t kNt4Major = 4;

// The wizard gives Taiwan, Hong Kong and Singapore the traditional texts,
// the PRC the simplified ones.
constexpr std::uint16_t kLangTaiwan = 0x0404;
constexpr std::uint16_t kLangHongKong = 0x0C04;
constexpr std::uint16_t kLangSingapore = 0x1004;
constexpr std::uint16_t kLangPrc = 0x0804;

bool IsTraditionalChinese(std::uint16_t id) { return id == kLangTaiwan || id == kLangHongKong || id == kLangSingapore; }

}  // namespace

OsVersion ToOsVersion(const VersionFacts& f) {
  OsVersion v;
  v.platform_id = f.platform_id;
  v.major = f.major;
  v.minor = f.minor;
  v.product_type = f.product_type;
  v.processor_architecture = f.processor_architecture;
  return v;
}

OsVersion ReadOsVersion(SystemFacts& system) { return ToOsVersion(ReadVersionFacts(system)); }

OsDetection DetectOs(SystemFacts& system) {
  const OsVersion v = ReadOsVersion(system);
  OsDetection d;
  d.known_platform = IsKnownPlatform(v);
  d.code = d.known_platform ? ClassifyOs(v) : kOsWin9x;
  return d;
}

bool IsRefusedWindows(const VersionFacts& version) {
  if (version.platform_id == kPlatformWin32Windows) return version.minor != 0;
  if (version.platform_id == kPlatformWin32Nt) return version.major == kNt4Major && version.minor == 0;
  return false;
}

bool IsChineseLanguage(std::uint16_t id) { return IsTraditionalChinese(id) || id == kLangPrc; }

std::string LicenceFileName(std::uint16_t id) {
  if (IsTraditionalChinese(id)) return "License_TCN.txt";
  if (id == kLangPrc) return "License_CN.txt";
  return "License_EN.txt";
}

std::string HelpFileName(std::uint16_t id) {
  if (IsTraditionalChinese(id)) return "Guide_TCN.chm";
  if (id == kLangPrc) return "Guide_CN.chm";
  return "Guide_EN.chm";
}

}  // namespace kit::setup
