// What every USB routine of the wizard works with: the platform, the package
// folder its outside libraries and the USB installer are loaded from, and
// the 64-bit flag. The wizard is an ANSI program: paths are bytes in the
// system's ANSI code page until they meet a platform call.
// This file is OS-independent.
#pragma once

#include <string>

#include "platform/platform.h"

namespace kit::setup {

struct UsbEnv {
  Platform& platform;
  std::string package_folder;  // without trailing backslash
  bool is_64bit = false;       // the 64-bit flag: running on 64-bit Windows
};

}  // namespace kit::setup
