// Runs the action the command line names.
// This file is OS-independent.
#pragma once

#include "usbinstall/command_line.h"
#include "usbinstall/installer_context.h"

namespace kit::usbinstall {

// Runs the action; its exit status in the kit's table
// (common/exit_codes/exit_codes.h): done, failed, or 3010 when Windows must
// restart for a driver.
int RunAction(InstallerContext& context, const CommandLine& command_line);

}  // namespace kit::usbinstall
