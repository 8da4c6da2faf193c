// The user profile the installer writes the default printer into on
// Windows NT before version 5.
// This file is OS-independent.
#pragma once

#include <memory>

#include "usbinstall/installer_context.h"

namespace kit::usbinstall {

// WriteProfileStringA through the platform (Windows: the system's profile;
// the virtual machine: "win.ini" in its Windows folder).
std::unique_ptr<UserProfile> MakeUserProfile(SystemFacts& system, Files& files);

}  // namespace kit::usbinstall
