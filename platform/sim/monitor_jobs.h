// Raw jobs on a port of a loaded monitor module: the spooler hands them to
// the monitor once they are spooled (EndDocPrinter), outside its hold on
// the machine state, as Windows' spooler runs a port's jobs on a thread of
// their own. A job the printer stops taking waits in the queue ("waiting",
// with the bytes the printer took) and goes on when it is tried again: at
// the next job's end on the machine and when `vmachine map-port` changes
// where a port leads (the printer is back).
#pragma once

#include <cstdint>
#include <string>

#include "platform/sim/core.h"
#include "platform/sim/store.h"

namespace kit::sim {

// The status of a job the monitor has yet to send.
inline constexpr char kJobForMonitor[] = "for monitor";
inline constexpr char kJobWaiting[] = "waiting";

// The module file (relative to the machine folder) of the loaded monitor
// whose ports include `port`; empty when none does.
std::string MonitorModuleOfPort(const Json& state, const WString& port);

// Sends the jobs marked for a monitor and those waiting, oldest first.
// Returns how many jobs are still waiting.
int RunMonitorJobs(Store& store);

}  // namespace kit::sim
