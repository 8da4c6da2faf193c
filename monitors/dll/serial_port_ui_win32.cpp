// KVRCOMUI.DLL, the "KVR Serial Port" monitor's port dialog module: the
// spooler's callers (the Ports page's Configure Port, ConfigurePort) ask
// the monitor for it through XcvData "MonitorUI", load it and call
// InitializePrintMonitorUI for its MONITORUI table (Microsoft:
// "InitializePrintMonitorUI function").
#include "monitors/dll/port_ui_shell.h"

namespace {

using namespace kit::monitors;

constexpr wchar_t kMonitor[] = L"KVR Serial Port";

BOOL WINAPI AddPortUi(PCWSTR, HWND, PCWSTR, PWSTR* port_out) {
  if (port_out != nullptr) *port_out = nullptr;
  return RefusePortChangeUi();
}

BOOL WINAPI ConfigurePortUi(PCWSTR server, HWND owner, PCWSTR port) {
  return ConfigurePortWith(ConfigureSerialPort, kMonitor, server, owner, port);
}

BOOL WINAPI DeletePortUi(PCWSTR, HWND, PCWSTR) { return RefusePortChangeUi(); }

MonitorUiTable g_table{sizeof(MonitorUiTable), AddPortUi, ConfigurePortUi, DeletePortUi};

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) SetPortUiModule(instance);
  return TRUE;
}

extern "C" __declspec(dllexport) MonitorUiTable* WINAPI InitializePrintMonitorUI() { return &g_table; }
