// The running Windows as the kit classifies it: the plain values of the
// extended version record and of the native system information. The platform
// layer fills it (GetVersionEx with OSVERSIONINFOEX, GetNativeSystemInfo);
// tests and the virtual machine build it directly.
// This file is OS-independent.
#pragma once

#include <cstdint>

namespace kit {

// dwPlatformId values.
inline constexpr std::uint32_t kPlatformWin32s = 0;
inline constexpr std::uint32_t kPlatformWin32Windows = 1;  // Windows 95, 98, Me
inline constexpr std::uint32_t kPlatformWin32Nt = 2;

// wProductType values.
inline constexpr std::uint8_t kProductWorkstation = 1;
inline constexpr std::uint8_t kProductDomainController = 2;
inline constexpr std::uint8_t kProductServer = 3;

// wProcessorArchitecture values of the native system information.
inline constexpr std::uint16_t kProcessorArchitectureIntel = 0;
inline constexpr std::uint16_t kProcessorArchitectureIa64 = 6;
inline constexpr std::uint16_t kProcessorArchitectureAmd64 = 9;

struct OsVersion {
  std::uint32_t platform_id = kPlatformWin32Nt;
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  // Anything but kProductWorkstation counts as a server edition.
  std::uint8_t product_type = kProductWorkstation;
  std::uint16_t processor_architecture = kProcessorArchitectureIntel;

  bool IsWorkstation() const { return product_type == kProductWorkstation; }
};

}  // namespace kit
