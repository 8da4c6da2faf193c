// The ports that installed monitors offer by machine rule (a serial
// monitor's fixed list, a USB monitor's registry-listed ports), read the way
// a program sees them: through the machine's spooler.
#include "tools/vmachine/monitor_ports.h"

#include <cstdio>

#include "platform/sim/machine.h"

namespace kit::vmachine {

void ShowMonitorPorts(const std::string& folder, const Json& state) {
  std::string error;
  const auto machine = sim::Machine::Open(folder, sim::ProcessOptions{}, &error);
  if (!machine) return;
  std::vector<PortInfo2> ports;
  std::uint32_t needed = 0, returned = 0;
  Spooler& spooler = machine->platform().spooler;
  spooler.EnumPorts(u"", 2, &ports, 0, &needed, &returned);
  if (!spooler.EnumPorts(u"", 2, &ports, needed, &needed, &returned)) return;
  for (const PortInfo2& port : ports) {
    bool explicit_port = false;
    for (const auto& p : state["spooler"]["ports"]) explicit_port = explicit_port || FromUtf8(p.value("name", "")) == port.port_name;
    if (!explicit_port) std::printf("  %s  %s\n", ToUtf8(port.port_name).c_str(), ToUtf8(port.monitor_name).c_str());
  }
}

}  // namespace kit::vmachine
