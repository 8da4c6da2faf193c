// The Linux build of the "KVR Serial Port" monitor, which the virtual
// machine's spooler loads as Windows' spooler loads KVRCOMMON.DLL: the
// shared Linux shell (port_monitor_posix.h) over the serial port family,
// the machine's serial ports standing for the system's.
#include "monitors/dll/port_monitor_posix.h"
#include "monitors/serial/serial_device_sim.h"
#include "monitors/serial/serial_port_family.h"

namespace {

std::unique_ptr<kit::monitors::PortFamily> MakeFamily(kit::sim::Machine& machine) {
  kit::monitors::SetSerialMachine(&machine);
  return kit::monitors::MakeSerialPortFamily();
}

void ForgetMachine() { kit::monitors::SetSerialMachine(nullptr); }

}  // namespace

extern "C" __attribute__((visibility("default"))) kit::sim::monitor_abi::Monitor2* InitializePrintMonitor2(
    kit::sim::monitor_abi::MonitorInit* init, kit::sim::monitor_abi::Handle* monitor) {
  return kit::monitors::StartPosixPortMonitor(init, monitor, MakeFamily, ForgetMachine);
}
