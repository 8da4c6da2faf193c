// Installing a USB driver package: update the driver of a connected family
// device, or put the package into the driver store so that Plug and Play
// finds it when the device is plugged in.
// This file is OS-independent.
#pragma once

#include "usbinstall/action_table.h"
#include "usbinstall/installer_context.h"

namespace kit::usbinstall {

// Actions 1 (USB virtual serial port), 4 (USB scanner) and every other code
// (USB printer).
// The kit's exit status (common/exit_codes/exit_codes.h): done when a
// device's driver was updated or the package is in the store, 3010 when
// Windows must restart for the update, failed when neither happened.
int RunUpdateOrPreinstall(InstallerContext& context, ActionKind kind);

}  // namespace kit::usbinstall
