// The user profile the installer writes the default printer into on
// Windows NT before version 5.
// This file is OS-independent.
#pragma once

#include <memory>

#include "usbinstall/installer_context.h"

namespace kit::usbinstall {

// The profile's file on the virtual machine, in the Windows folder.
inline constexpr char16_t kUserProfileFile[] = u"\\win.ini";

// Windows: WriteProfileStringA. Linux: "win.ini" in the virtual machine's
// Windows folder, written with the profile-file rules.
std::unique_ptr<UserProfile> MakeUserProfile(SystemFacts& system, Files& files);

}  // namespace kit::usbinstall
