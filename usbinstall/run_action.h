// Runs the action the command line names.
// This file is OS-independent.
#pragma once

#include "usbinstall/command_line.h"
#include "usbinstall/installer_context.h"

namespace kit::usbinstall {

void RunAction(InstallerContext& context, const CommandLine& command_line);

}  // namespace kit::usbinstall
