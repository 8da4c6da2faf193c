// KVRCOMUI.DLL, the "KVR Serial Port" monitor's port dialog module: the
// spooler's callers (the Ports page's Configure Port, ConfigurePort) ask
// the monitor for it through XcvData "MonitorUI", load it and call
// InitializePrintMonitorUI for its MONITORUI table (Microsoft:
// "InitializePrintMonitorUI function").
#include "monitors/dll/port_ui_shell.h"

using kit::monitors::ConfigureSerialPort;
using kit::monitors::MonitorUiTable;
using kit::monitors::PortUiTable;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) kit::monitors::SetPortUiModule(instance);
  return TRUE;
}

extern "C" __declspec(dllexport) MonitorUiTable* WINAPI InitializePrintMonitorUI() {
  return PortUiTable(L"KVR Serial Port", ConfigureSerialPort);
}
