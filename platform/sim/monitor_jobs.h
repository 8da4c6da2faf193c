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

// The module file of the language monitor the driver of `printer` names
// (DRIVER_INFO_3 pMonitorName); empty when it names none that is loaded.
std::string LanguageMonitorModuleOfPrinter(const Json& state, const WString& printer);

// Sends the jobs marked for a monitor and those waiting, oldest first,
// through the printer's language monitor when its driver names one.
// Returns how many jobs are still waiting.
int RunMonitorJobs(Store& store);

// A job's status text in the queue (JOB_INFO_1 pStatus), as GetJob reads
// it and SetJob at level 1 sets it (an empty text clears it): what a
// language monitor says of the job. Kept in the job's record as
// "status_text". Setting it on a job the machine does not have is false.
WString JobStatusText(Store& store, const WString& printer, std::uint32_t job);
bool SetJobStatusText(Store& store, const WString& printer, std::uint32_t job, const WString& text);

}  // namespace kit::sim
