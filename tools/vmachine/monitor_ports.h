// Ports offered by installed monitors under a machine rule.
#pragma once

#include <string>

#include "platform/sim/store.h"

namespace kit::vmachine {

using Json = sim::Json;

// Prints "  PORT  MONITOR" for each port a monitor offers (nothing while the
// spooler is stopped).
void ShowMonitorPorts(const std::string& folder, const Json& state);

}  // namespace kit::vmachine
