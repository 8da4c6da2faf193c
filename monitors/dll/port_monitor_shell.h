// The Windows side every kit port monitor shares: the MONITOR2 table the
// spooler gets from InitializePrintMonitor2 (Microsoft's port monitor
// interface, winsplp.h), each function checking its arguments and handing
// the work to the monitor's PortFamily and the portable job code.
#pragma once

#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <memory>

#include "monitors/core/port_family.h"

namespace kit::monitors {

// InitializePrintMonitor2's work for `family`: the monitor's state in
// *monitor and the table, or null with the last error set.
LPMONITOR2 StartPortMonitor(std::unique_ptr<PortFamily> family, PMONITORINIT init, PHANDLE monitor);

}  // namespace kit::monitors
