// KVRLMON.DLL, the "KVR Language Monitor": the driver of a printer on a
// "USB_" port names it, and the spooler then opens the port through it
// (Microsoft's language monitor interface, winsplp.h): OpenPortEx gets the
// port monitor's MONITOR2 table and its handle, and every job call passes
// through to the port monitor. The monitor adds the job's status in the
// queue from what the port's writes report (monitors/core/job_status.h),
// set with SetJob's JOB_INFO_1 pStatus. Only the spooler's own library
// (winspool) is used besides kernel32.
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <new>
#include <optional>
#include <string>
#include <vector>

#include "monitors/core/job_status.h"
#include "monitors/dll/monitor_table.h"

namespace {

using kit::monitors::JobStatus;
using kit::monitors::kMonitorTableSize;

struct LanguageMonitor {};

struct Port {
  HANDLE port = nullptr;        // the port monitor's handle of the port
  const MONITOR2* below = nullptr;  // the port monitor's table
  std::wstring printer;
  DWORD job = 0;
  JobStatus status;
};

BOOL Done(DWORD error) {
  SetLastError(error);
  return error == ERROR_SUCCESS ? TRUE : FALSE;
}

// Whether the port monitor's table is long enough to hold `member` and
// fills it (cbSize counts the table's bytes).
template <typename F>
bool Has(const MONITOR2* table, F MONITOR2::*member) {
  static const MONITOR2 probe{};
  const auto offset = static_cast<std::size_t>(reinterpret_cast<const char*>(&(probe.*member)) -
                                               reinterpret_cast<const char*>(&probe));
  return table != nullptr && table->cbSize >= offset + sizeof(F) && table->*member != nullptr;
}

// The job's status text in the queue: GetJob level 1 for the job as it is,
// then SetJob with the new pStatus and its place kept
// (JOB_POSITION_UNSPECIFIED). Best effort: a job the spooler no longer
// has, or a refusal, leaves the printing alone.
void ShowOnJob(const Port& port, const kit::WString& text) {
  if (port.printer.empty() || port.job == 0) return;
  HANDLE printer = nullptr;
  if (!OpenPrinterW(const_cast<wchar_t*>(port.printer.c_str()), &printer, nullptr)) return;
  DWORD needed = 0;
  GetJobW(printer, port.job, 1, nullptr, 0, &needed);
  std::vector<BYTE> buffer(needed);
  if (needed >= sizeof(JOB_INFO_1W) && GetJobW(printer, port.job, 1, buffer.data(), needed, &needed)) {
    auto* info = reinterpret_cast<JOB_INFO_1W*>(buffer.data());
    std::wstring wide(text.begin(), text.end());
    info->pStatus = wide.empty() ? nullptr : wide.data();
    info->Position = JOB_POSITION_UNSPECIFIED;
    SetJobW(printer, port.job, 1, buffer.data(), 0);
  }
  ClosePrinter(printer);
}

void Apply(const Port& port, const std::optional<kit::WString>& text) {
  if (text) ShowOnJob(port, *text);
}

BOOL WINAPI OpenPortEx(HANDLE monitor, HANDLE port_monitor, LPWSTR port_name, LPWSTR printer, PHANDLE handle,
                       MONITOR2* below) {
  if (monitor == nullptr || port_name == nullptr || handle == nullptr || !Has(below, &MONITOR2::pfnOpenPort)) {
    return Done(ERROR_INVALID_PARAMETER);
  }
  auto* port = new (std::nothrow) Port;
  if (port == nullptr) return Done(ERROR_NOT_ENOUGH_MEMORY);
  if (!below->pfnOpenPort(port_monitor, port_name, &port->port)) {
    const DWORD error = GetLastError();
    delete port;
    return Done(error == ERROR_SUCCESS ? ERROR_INVALID_FUNCTION : error);
  }
  port->below = below;
  if (printer != nullptr) port->printer = printer;
  *handle = port;
  return Done(ERROR_SUCCESS);
}

BOOL WINAPI StartDocPort(HANDLE handle, LPWSTR printer, DWORD job, DWORD level, LPBYTE info) {
  auto* port = static_cast<Port*>(handle);
  if (port == nullptr || !Has(port->below, &MONITOR2::pfnStartDocPort)) return Done(ERROR_INVALID_HANDLE);
  if (printer != nullptr) port->printer = printer;
  port->job = job;
  port->status = JobStatus();
  return port->below->pfnStartDocPort(port->port, printer, job, level, info);
}

BOOL WINAPI WritePort(HANDLE handle, LPBYTE data, DWORD size, LPDWORD written) {
  auto* port = static_cast<Port*>(handle);
  if (port == nullptr || !Has(port->below, &MONITOR2::pfnWritePort)) return Done(ERROR_INVALID_HANDLE);
  if (written == nullptr) return Done(ERROR_INVALID_PARAMETER);
  *written = 0;
  const BOOL ok = port->below->pfnWritePort(port->port, data, size, written);
  const DWORD error = ok ? ERROR_SUCCESS : GetLastError();
  Apply(*port, port->status.AfterWrite(ok != FALSE, size, *written, error));
  SetLastError(error);
  return ok;
}

BOOL WINAPI ReadPort(HANDLE handle, LPBYTE data, DWORD size, LPDWORD read) {
  auto* port = static_cast<Port*>(handle);
  if (port == nullptr) return Done(ERROR_INVALID_HANDLE);
  if (!Has(port->below, &MONITOR2::pfnReadPort)) return Done(ERROR_NOT_SUPPORTED);
  return port->below->pfnReadPort(port->port, data, size, read);
}

BOOL WINAPI EndDocPort(HANDLE handle) {
  auto* port = static_cast<Port*>(handle);
  if (port == nullptr || !Has(port->below, &MONITOR2::pfnEndDocPort)) return Done(ERROR_INVALID_HANDLE);
  Apply(*port, port->status.AtEnd());
  port->job = 0;
  return port->below->pfnEndDocPort(port->port);
}

BOOL WINAPI ClosePort(HANDLE handle) {
  auto* port = static_cast<Port*>(handle);
  if (port == nullptr) return Done(ERROR_INVALID_HANDLE);
  const BOOL ok = Has(port->below, &MONITOR2::pfnClosePort) ? port->below->pfnClosePort(port->port) : TRUE;
  const DWORD error = ok ? ERROR_SUCCESS : GetLastError();
  delete port;
  return Done(error);
}

VOID WINAPI Shutdown(HANDLE monitor) { delete static_cast<LanguageMonitor*>(monitor); }

MONITOR2 MakeTable() {
  MONITOR2 table{};
  // A language monitor fills OpenPortEx in place of EnumPorts and
  // OpenPort, and has no ports or XcvData of its own.
  table.cbSize = kMonitorTableSize;
  table.pfnOpenPortEx = OpenPortEx;
  table.pfnStartDocPort = StartDocPort;
  table.pfnWritePort = WritePort;
  table.pfnReadPort = ReadPort;
  table.pfnEndDocPort = EndDocPort;
  table.pfnClosePort = ClosePort;
  table.pfnShutdown = Shutdown;
  return table;
}

MONITOR2 g_table = MakeTable();

}  // namespace

extern "C" __declspec(dllexport) LPMONITOR2 WINAPI InitializePrintMonitor2(PMONITORINIT init, PHANDLE monitor) {
  if (init == nullptr || monitor == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto* state = new (std::nothrow) LanguageMonitor;
  if (state == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  *monitor = state;
  return &g_table;
}
