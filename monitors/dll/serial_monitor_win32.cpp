// KVRCOMMON.DLL, the "KVR Serial Port" monitor: the ports KVCOM1: to
// KVCOM8:, each writing to the serial port of the same number with the
// settings stored for it (monitors/serial/serial_port_family.h).
#include "monitors/dll/port_monitor_shell.h"
#include "monitors/serial/serial_port_family.h"

extern "C" __declspec(dllexport) LPMONITOR2 WINAPI InitializePrintMonitor2(PMONITORINIT init, PHANDLE monitor) {
  return kit::monitors::StartPortMonitor(kit::monitors::MakeSerialPortFamily(), init, monitor);
}
