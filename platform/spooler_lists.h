// The spooler's lists read the way Windows has them read: measured with an
// empty buffer, then read with the size the spooler asked for.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/spooler.h"

namespace kit {

// EnumPrinters(local) at `level`; nullopt on failure.
std::optional<std::vector<PrinterInfo2>> EnumLocalPrinters(Spooler& spooler, std::uint32_t level);
// EnumMonitors / EnumPrintProcessors at level 1; nullopt on failure.
std::optional<std::vector<MonitorInfo2>> EnumMonitorNames(Spooler& spooler);
std::optional<std::vector<PrintProcessorInfo1>> EnumProcessorNames(Spooler& spooler, WStringView environment);
// EnumPrinterDrivers(local, environment) at level 3; nullopt on failure.
std::optional<std::vector<DriverInfo3>> EnumDrivers(Spooler& spooler, WStringView environment);

}  // namespace kit
