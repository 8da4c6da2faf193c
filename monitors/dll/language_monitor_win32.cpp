// KVRLMON.DLL, the "KVR Language Monitor": the driver of a printer on a
// "USB_" port names it, and the spooler then opens the port through it
// (Microsoft's language monitor interface, winsplp.h): OpenPortEx gets the
// port monitor's MONITOR2 table and its handle, and every job call passes
// through to the port monitor (monitors/core/language_port.h), the job's
// status in the queue set with SetJob's JOB_INFO_1 pStatus. Only the
// spooler's own library (winspool) is used besides kernel32.
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <new>
#include <string>
#include <vector>

#include "monitors/core/language_port.h"
#include "monitors/dll/monitor_table.h"
#include "monitors/dll/table_port_below.h"

namespace {

using kit::monitors::kMonitorTableSize;
using kit::monitors::LanguagePort;
using kit::monitors::TableHas;

struct LanguageMonitor {};

std::uint32_t LastError() { return GetLastError(); }

BOOL Done(DWORD error) {
  SetLastError(error);
  return error == ERROR_SUCCESS ? TRUE : FALSE;
}

// The job's JOB_INFO_1 through GetJob on the printer `printer` opened
// here; `use` gets the record while the printer is open. Best effort: a
// job the spooler no longer has, or a refusal, leaves the printing alone.
template <typename Use>
void WithJob(const kit::WString& printer_name, std::uint32_t job, Use use) {
  std::wstring name(printer_name.begin(), printer_name.end());
  HANDLE printer = nullptr;
  if (!OpenPrinterW(name.data(), &printer, nullptr)) return;
  DWORD needed = 0;
  GetJobW(printer, job, 1, nullptr, 0, &needed);
  std::vector<BYTE> buffer(needed);
  if (needed >= sizeof(JOB_INFO_1W) && GetJobW(printer, job, 1, buffer.data(), needed, &needed)) {
    use(printer, reinterpret_cast<JOB_INFO_1W*>(buffer.data()), buffer.data());
  }
  ClosePrinter(printer);
}

class SpoolerJobTexts final : public kit::monitors::JobTexts {
 public:
  kit::WString Current(const kit::WString& printer, std::uint32_t job) override {
    kit::WString text;
    WithJob(printer, job, [&](HANDLE, JOB_INFO_1W* info, BYTE*) {
      if (info->pStatus != nullptr) text.assign(info->pStatus, info->pStatus + wcslen(info->pStatus));
    });
    return text;
  }
  // SetJob with the new pStatus and the job's place kept
  // (JOB_POSITION_UNSPECIFIED).
  void Show(const kit::WString& printer, std::uint32_t job, const kit::WString& text) override {
    WithJob(printer, job, [&](HANDLE handle, JOB_INFO_1W* info, BYTE* record) {
      std::wstring wide(text.begin(), text.end());
      info->pStatus = wide.empty() ? nullptr : wide.data();
      info->Position = JOB_POSITION_UNSPECIFIED;
      SetJobW(handle, job, 1, record, 0);
    });
  }
};
SpoolerJobTexts g_texts;

using Below = kit::monitors::TablePortBelow<MONITOR2, wchar_t, DWORD>;

BOOL WINAPI OpenPortEx(HANDLE monitor, HANDLE port_monitor, LPWSTR port_name, LPWSTR printer, PHANDLE handle,
                       MONITOR2* below) {
  if (monitor == nullptr || port_name == nullptr || handle == nullptr || !TableHas(below, &MONITOR2::pfnOpenPort)) {
    return Done(ERROR_INVALID_PARAMETER);
  }
  HANDLE port = nullptr;
  if (!below->pfnOpenPort(port_monitor, port_name, &port)) {
    const DWORD error = GetLastError();
    return Done(error == ERROR_SUCCESS ? ERROR_INVALID_FUNCTION : error);
  }
  const std::wstring wide = printer != nullptr ? printer : L"";
  auto* opened = new (std::nothrow) LanguagePort(std::make_unique<Below>(below, port, LastError), g_texts,
                                                 kit::WString(wide.begin(), wide.end()));
  if (opened == nullptr) {
    if (TableHas(below, &MONITOR2::pfnClosePort)) below->pfnClosePort(port);
    return Done(ERROR_NOT_ENOUGH_MEMORY);
  }
  *handle = opened;
  return Done(ERROR_SUCCESS);
}

BOOL WINAPI StartDocPort(HANDLE handle, LPWSTR printer, DWORD job, DWORD level, LPBYTE info) {
  auto* port = static_cast<LanguagePort*>(handle);
  if (port == nullptr) return Done(ERROR_INVALID_HANDLE);
  return Done(port->StartJob(reinterpret_cast<const char16_t*>(printer), job, level, info));
}

BOOL WINAPI WritePort(HANDLE handle, LPBYTE data, DWORD size, LPDWORD written) {
  auto* port = static_cast<LanguagePort*>(handle);
  if (port == nullptr) return Done(ERROR_INVALID_HANDLE);
  if (written == nullptr) return Done(ERROR_INVALID_PARAMETER);
  std::uint32_t n = 0;
  const std::uint32_t error = port->Write(data, size, &n);
  *written = n;
  return Done(error);
}

BOOL WINAPI ReadPort(HANDLE handle, LPBYTE data, DWORD size, LPDWORD read) {
  auto* port = static_cast<LanguagePort*>(handle);
  if (port == nullptr) return Done(ERROR_INVALID_HANDLE);
  if (read == nullptr) return Done(ERROR_INVALID_PARAMETER);
  std::uint32_t n = 0;
  const std::uint32_t error = port->Read(data, size, &n);
  *read = n;
  return Done(error);
}

BOOL WINAPI EndDocPort(HANDLE handle) {
  auto* port = static_cast<LanguagePort*>(handle);
  if (port == nullptr) return Done(ERROR_INVALID_HANDLE);
  return Done(port->EndJob());
}

BOOL WINAPI ClosePort(HANDLE handle) {
  auto* port = static_cast<LanguagePort*>(handle);
  if (port == nullptr) return Done(ERROR_INVALID_HANDLE);
  const std::uint32_t error = port->Close();
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
