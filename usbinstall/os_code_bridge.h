// The installer's OS code of a version record. Kept apart from the platform
// headers: the shared OS-code header and the platform's system header both
// name the processor architectures, so no file of the installer includes
// both.
// This file is OS-independent.
#pragma once

#include <cstdint>

namespace kit::usbinstall {

// The codes the installer tests (checked against the shared ones).
inline constexpr int kOsCodeServer2003 = 4;
inline constexpr int kOsCodeWin8 = 8;

struct VersionFacts {
  std::uint32_t platform_id = 0;
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint8_t product_type = 0;
  std::uint16_t processor_architecture = 0;
};

// The installer's OS code (0..9).
int InstallerOsCode(const VersionFacts& facts);

}  // namespace kit::usbinstall
