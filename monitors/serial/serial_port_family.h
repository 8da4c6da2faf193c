// The "KVR Serial Port" monitor's ports as a PortFamily: KVCOM1: to
// KVCOM8:, each writing to the serial port of the same number with the
// settings stored for it (monitors/core/serial_ports.h). Both builds of the
// monitor stand on it: the Windows module and the virtual machine's.
#pragma once

#include <memory>

#include "monitors/core/port_family.h"

namespace kit::monitors {

std::unique_ptr<PortFamily> MakeSerialPortFamily();

}  // namespace kit::monitors
