// KVRUSBMON.DLL, the "KVR USB Port" monitor: the "USB_" ports the install
// records, each writing to the family printer whose USB id belongs to the
// port's index through the maker's KvUsbInt.dll (monitors/core/usb_ports.h).
// The library is looked for beside this module (the system folder, where
// Windows keeps the monitors) and loaded for each job, so the monitor
// starts without it and a job waits, naming it, until it is there.
#include <string>

#include "monitors/core/usb_port_family.h"
#include "monitors/dll/port_monitor_shell.h"
#include "platform/usb_libraries.h"
#include "platform/win32/windows_platform.h"

namespace {

using namespace kit::monitors;

HMODULE g_module = nullptr;

// "<this module's folder>\KvUsbInt.dll"; the bare name when the folder
// cannot be read.
kit::WString LibraryPath() {
  wchar_t path[MAX_PATH + 1] = {};
  const DWORD n = GetModuleFileNameW(g_module, path, MAX_PATH);
  std::wstring folder(path, n > 0 && n < MAX_PATH ? n : 0);
  const std::size_t slash = folder.find_last_of(L"\\/");
  folder.resize(slash == std::wstring::npos ? 0 : slash + 1);
  return kit::WString(folder.begin(), folder.end()) + kit::kKvUsbIntDll;
}

// The system's USB access, for as long as the module is loaded.
std::unique_ptr<kit::UsbLibraries> g_usb;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_module = instance;
  return TRUE;
}

extern "C" __declspec(dllexport) LPMONITOR2 WINAPI InitializePrintMonitor2(PMONITORINIT init, PHANDLE monitor) {
  if (!g_usb) g_usb = kit::win32::MakeUsbLibraries();
  return StartPortMonitor(MakeUsbPortFamily(*g_usb, LibraryPath()), init, monitor);
}
