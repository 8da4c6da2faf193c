// The side every Linux build of a kit monitor shares, which the virtual
// machine's spooler loads as Windows' spooler loads the monitor's DLL
// (platform/sim/monitor_abi.h): the machine named in the init record,
// opened as the spooler's process sees it, and the MONITOR2 calls of the
// Windows shell (port_monitor_shell.cpp) over the same port family and job
// code.
#pragma once

#include <memory>

#include "monitors/core/port_family.h"
#include "platform/sim/machine.h"
#include "platform/sim/monitor_abi.h"

namespace kit::monitors {

// Sets the thread's last error as the spooler reads it, as SetLastError
// does; TRUE for success.
sim::monitor_abi::Bool PosixDone(sim::monitor_abi::Dword error);

// The spooler's process on the machine the init record names (the
// machine's own bitness, the system account), or null with the last
// error set: an init record without the machine's additions comes from no
// spooler this build can serve, and a null `monitor` leaves nowhere to
// put the monitor's state.
std::unique_ptr<sim::Machine> OpenSpoolerMachine(sim::monitor_abi::MonitorInit* init,
                                                 sim::monitor_abi::Handle* monitor);

// A port monitor's family on `machine`, which outlives it.
using MakeFamily = std::unique_ptr<PortFamily> (*)(sim::Machine& machine);

// InitializePrintMonitor2's work for a port monitor: the monitor's state
// in *monitor and its table, or null with the last error set. `at_shutdown`
// (may be null) runs when the spooler shuts the monitor down.
sim::monitor_abi::Monitor2* StartPosixPortMonitor(sim::monitor_abi::MonitorInit* init,
                                                  sim::monitor_abi::Handle* monitor, MakeFamily make,
                                                  void (*at_shutdown)());

}  // namespace kit::monitors
