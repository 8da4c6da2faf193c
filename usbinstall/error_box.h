// The error box of the network virtual serial-port install: which step
// failed and why, in the system's words or by the SetupAPI code's name.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "usbinstall/installer_context.h"

namespace kit::usbinstall {

// The box's text for `operation` failing with `code`, given the system's
// message text for the code (empty when the system has none).
std::string ErrorBoxText(std::string_view operation, std::uint32_t code, std::string_view system_text);

// Asks the system for the code's text (user default language) and shows the
// box.
void ShowErrorBox(InstallerContext& context, std::string_view operation, std::uint32_t code);

}  // namespace kit::usbinstall
