// The serial port a "KVR Serial Port" port writes to, as a PortDevice:
// opened for a job, given the port's stored line settings and write
// time-outs (monitors/core/serial_settings.h).
#pragma once

#include <memory>

#include "monitors/core/port_job.h"
#include "monitors/core/serial_settings.h"

namespace kit::monitors {

// The device of serial port `number` (1 for COM1) with `settings`.
std::unique_ptr<PortDevice> MakeSerialDevice(int number, const SerialSettings& settings);

}  // namespace kit::monitors
