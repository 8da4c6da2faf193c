// What sets one kit port monitor apart from another: its name, its ports,
// the device a job on one of them writes to, its XcvData commands, and how
// its ports name a printer that cannot be opened. The Windows shell of the
// monitors (monitors/dll) does the rest the same way for each.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "monitors/core/port_job.h"
#include "monitors/core/xcv_data.h"
#include "platform/registry.h"
#include "platform/types.h"

namespace kit::monitors {

class PortFamily {
 public:
  virtual ~PortFamily() = default;
  // The monitor's name under the spooler's Monitors key, also the ports'
  // description.
  virtual WStringView MonitorName() const = 0;
  virtual std::vector<WString> PortNames(Registry& registry) = 0;
  // The port's own spelling of `name` (any case); empty for no port.
  virtual WString FindPort(Registry& registry, WStringView name) = 0;
  // The device of a job on `port`, as its settings are now; a Win32 code
  // when the job cannot start (settings that cannot be read).
  virtual std::uint32_t MakeDevice(Registry& registry, WStringView port, std::unique_ptr<PortDevice>* device) = 0;
  virtual std::uint32_t XcvData(Registry& registry, const XcvRequest& request, std::uint32_t* needed) = 0;
  // The queue's text for a printer that could not be opened for `cause`;
  // empty where Windows' own "offline" says it.
  virtual WString Problem(std::uint32_t /*cause*/) const { return {}; }
};

}  // namespace kit::monitors
