// This file is OS-independent.
#include "common/oscode/os_code.h"

#include <array>

namespace kit {
namespace {

constexpr std::uint32_t kNt4Major = 4;
constexpr std::uint32_t kNt5Major = 5;       // 2000, XP, Server 2003
constexpr std::uint32_t kNt6Major = 6;       // Vista to 8.1
constexpr std::uint32_t kWin8Minor = 2;      // 6.2: Windows 8 and Server 2012
constexpr std::uint32_t kServer2003Minor = 2;

constexpr std::array<std::string_view, 8> kSetupSuffixes = {
    ".98", ".NT", ".2K", ".XP", ".2003", ".Vista", ".2008", ".Win7"};
constexpr std::array<std::string_view, 8> kUninstallSuffixes = {
    ".98", ".NT", ".2K", ".2K", ".2003", ".Vista", ".2008", ".Win7"};

bool IsXpX64(const OsVersion& v) {
  return v.IsWorkstation() && v.processor_architecture == kProcessorArchitectureAmd64;
}

}  // namespace

bool IsKnownPlatform(const OsVersion& v) {
  return v.platform_id == kPlatformWin32Windows || v.platform_id == kPlatformWin32Nt;
}

OsCode ClassifyOs(const OsVersion& v) {
  if (v.platform_id != kPlatformWin32Nt) return kOsWin9x;
  switch (v.major) {
    case kNt4Major:
      return v.minor == 0 ? kOsNt4 : kOsWin9x;
    case kNt5Major:
      if (v.minor == 0) return kOsWin2000;
      if (v.minor == 1) return kOsXp;
      if (v.minor == kServer2003Minor) return IsXpX64(v) ? kOsXp : kOsServer2003;
      return kOsWin9x;
    case kNt6Major:
      if (v.minor == 0) return v.IsWorkstation() ? kOsVista : kOsServer2008;
      if (v.minor == 1) return v.IsWorkstation() ? kOsWin7 : kOsServer2008;
      return kOsWin7;
    default:
      // A Windows that reports a major version above 6 (10.0 when the version
      // is read without the compatibility shim) is a later Windows, never
      // Windows 9x, whatever its minor version.
      return v.major > kNt6Major ? kOsWin7 : kOsWin9x;
  }
}

int InstallOsCode(const OsVersion& v) {
  if (v.platform_id == kPlatformWin32Nt) {
    if (v.major > kNt6Major) return kInstallOsWin81;
    if (v.major == kNt6Major && v.minor == kWin8Minor) return kInstallOsWin8;
    if (v.major == kNt6Major && v.minor > kWin8Minor) return kInstallOsWin81;
  }
  return ClassifyOs(v);
}

OsPageDisplay ClassifyOsForPage(const OsVersion& v) {
  if (v.platform_id == kPlatformWin32Windows) {
    // Only 98 and Me have a button; Windows 95 shows none.
    return {v.minor != 0, kOsWin9x};
  }
  if (v.platform_id != kPlatformWin32Nt) return {false, kOsWin9x};
  if (v.major == kNt6Major && v.minor == kWin8Minor) {
    return {true, v.IsWorkstation() ? kDisplayWin8 : kDisplayServer2012};
  }
  if ((v.major == kNt6Major && v.minor > kWin8Minor) || v.major > kNt6Major) {
    return {true, kDisplayWin8};
  }
  const OsCode code = ClassifyOs(v);
  // Everything else the wizard recognises has its own button; the versions
  // it does not know fall back to code 0 without one.
  return {code != kOsWin9x, code};
}

OsCode StoredOsCode(int display_code) {
  if (display_code > kOsWin7) return kOsWin7;
  if (display_code < kOsWin9x) return kOsWin9x;
  return static_cast<OsCode>(display_code);
}

std::string_view SetupSectionSuffix(int os_code) {
  if (os_code < 0 || os_code >= static_cast<int>(kSetupSuffixes.size())) return {};
  return kSetupSuffixes[static_cast<std::size_t>(os_code)];
}

std::string_view UninstallSectionSuffix(int os_code) {
  if (os_code < 0 || os_code >= static_cast<int>(kUninstallSuffixes.size())) return {};
  return kUninstallSuffixes[static_cast<std::size_t>(os_code)];
}

}  // namespace kit
