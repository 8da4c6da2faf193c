// What Windows does on the virtual machine once a driver package is bound to
// a present device (UpdateDriverForPlugAndPlayDevices): the package's files
// for the drivers folder (destination 12, "system32\drivers") are copied
// there from the package's folder, and a printer-class package bound to a
// "USBPRINT\" device makes the printer: a driver named by the model line, the
// next free "USB00n" port of the USB port monitor, a printer of the model's
// name on it.
#pragma once

#include "platform/sim/core.h"
#include "platform/sim/inf_text.h"

namespace kit::sim {

// The printer port monitor of USB printing support and its ports.
inline constexpr char kUsbMonitorName[] = "USB Monitor";
inline constexpr char16_t kUsbPortPrefix[] = u"USB";
inline constexpr char kUsbPortDescription[] = "Virtual printer port for USB";

// Applies the binding of `inf` (read from `inf_path`) to `device`, found by
// `hardware_id`, inside a state update. False with the last error when a
// file of the package is missing (2) or cannot be copied (5).
bool ApplyDriverBinding(Core& core, Json& state, Json& device, const InfText& inf, WStringView inf_path,
                        WStringView hardware_id);

}  // namespace kit::sim
