// The Linux build of the "KVR USB Port" monitor, which the virtual
// machine's spooler loads as Windows' spooler loads KVRUSBMON.DLL: the
// shared Linux shell (port_monitor_posix.h) over the USB port family,
// reaching the machine's plugged family printers through its KvUsbInt.dll
// in the system folder, where the Windows module looks for it beside
// itself.
#include "monitors/core/usb_port_family.h"
#include "monitors/dll/port_monitor_posix.h"
#include "platform/usb_libraries.h"

namespace {

std::unique_ptr<kit::monitors::PortFamily> MakeFamily(kit::sim::Machine& machine) {
  kit::Platform& platform = machine.platform();
  return kit::monitors::MakeUsbPortFamily(platform.usb,
                                          platform.system.GetSystemDirectory() + u"\\" + kit::kKvUsbIntDll);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) kit::sim::monitor_abi::Monitor2* InitializePrintMonitor2(
    kit::sim::monitor_abi::MonitorInit* init, kit::sim::monitor_abi::Handle* monitor) {
  return kit::monitors::StartPosixPortMonitor(init, monitor, MakeFamily, nullptr);
}
