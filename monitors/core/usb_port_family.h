// The "KVR USB Port" monitor's ports as a PortFamily (monitors/core/usb_ports.h):
// the recorded "USB_" ports, each writing to the family printer whose USB
// id belongs to the port's index, through KvUsbInt.dll at `library_path`
// loaded with `usb`. Both builds of the monitor stand on it: the Windows
// module (the library beside it, the system's USB access) and the virtual
// machine's (the machine's system folder and plugged printers).
// This file is OS-independent.
#pragma once

#include <memory>

#include "monitors/core/port_family.h"
#include "platform/usb_libraries.h"

namespace kit::monitors {

inline constexpr char16_t kUsbMonitorName[] = u"KVR USB Port";

// `usb` must outlive the family.
std::unique_ptr<PortFamily> MakeUsbPortFamily(UsbLibraries& usb, WString library_path);

}  // namespace kit::monitors
