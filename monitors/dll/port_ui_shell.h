// The Windows shell of the kit's port dialog modules (KVRCOMUI.DLL,
// KVRUSBUI.DLL): the MONITORUI table Windows asks for, and the host the
// portable dialogs run on (monitors/portui/configure_port.h).
#pragma once

#include <windows.h>

#include "monitors/portui/configure_port.h"

namespace kit::monitors {

// MONITORUI, as Microsoft documents it ("MONITORUI structure", winsplp.h;
// mingw's headers lack it): the functions a port monitor's UI DLL hands the
// spooler's callers through InitializePrintMonitorUI.
struct MonitorUiTable {
  DWORD dwMonitorUISize;
  BOOL(WINAPI* pfnAddPortUI)(PCWSTR pszServer, HWND hWnd, PCWSTR pszPortNameIn, PWSTR* ppszPortNameOut);
  BOOL(WINAPI* pfnConfigurePortUI)(PCWSTR pName, HWND hWnd, PCWSTR pPortName);
  BOOL(WINAPI* pfnDeletePortUI)(PCWSTR pszServer, HWND hWnd, PCWSTR pszPortName);
};

// What a dialog module configures a port with.
using PortConfigurer = PortUiResult (*)(PortUiHost& host, const PortUiTexts& texts, WStringView monitor,
                                        WStringView port);

// The module's MONITORUI table: ConfigurePortUI runs `configure` on the
// monitor `monitor` in the user's language (the last error set when it
// fails); AddPortUI and DeletePortUI answer FALSE with ERROR_NOT_SUPPORTED,
// the kit's ports being fixed or recorded by its install. A module serves
// one monitor: the first call names it.
MonitorUiTable* PortUiTable(const wchar_t* monitor, PortConfigurer configure);

// The module's instance, for its dialogs (DllMain).
void SetPortUiModule(HINSTANCE instance);

}  // namespace kit::monitors
