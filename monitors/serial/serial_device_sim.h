// The serial port device of the Linux build of the "KVR Serial Port"
// monitor: the virtual machine's serial port of the port's number
// (platform/sim/serial_line.h), reached through the machine the monitor
// was initialized on.
#pragma once

#include "platform/sim/machine.h"

namespace kit::monitors {

// The machine every device made after this call writes to; null: none
// (the devices cannot be opened).
void SetSerialMachine(sim::Machine* machine);

}  // namespace kit::monitors
