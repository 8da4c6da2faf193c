// This file is OS-independent.
#include "usbinstall/os_code_bridge.h"

#include "common/oscode/os_code.h"

namespace kit::usbinstall {

static_assert(kOsCodeServer2003 == kOsServer2003);
static_assert(kOsCodeWin8 == kInstallOsWin8);

int InstallerOsCode(const VersionFacts& facts) {
  OsVersion version;
  version.platform_id = facts.platform_id;
  version.major = facts.major;
  version.minor = facts.minor;
  version.product_type = facts.product_type;
  version.processor_architecture = facts.processor_architecture;
  return InstallOsCode(version);
}

}  // namespace kit::usbinstall
