// The Linux build of the "KVR Language Monitor", which the virtual
// machine's spooler loads as Windows' spooler loads KVRLMON.DLL and opens
// a port through (OpenPortEx with the port monitor's table) when the
// printer's driver names it: the same pass-through as the Windows module
// (monitors/core/language_port.h), the job's status text set in the
// machine's queue as SetJob's JOB_INFO_1 pStatus sets it on Windows.
#include <memory>
#include <new>

#include "monitors/core/language_port.h"
#include "monitors/dll/port_monitor_posix.h"
#include "monitors/dll/table_port_below.h"
#include "platform/sim/monitor_jobs.h"
#include "platform/win32_errors.h"

namespace {

using kit::monitors::LanguagePort;
using kit::monitors::PosixDone;
using kit::monitors::TableHas;
namespace abi = kit::sim::monitor_abi;

// The spooler's GetLastError, which the port monitor below sets.
abi::Dword (*g_get_last_error)() = nullptr;
std::uint32_t LastError() { return g_get_last_error != nullptr ? g_get_last_error() : 0; }

class MachineJobTexts final : public kit::monitors::JobTexts {
 public:
  explicit MachineJobTexts(kit::sim::Machine& machine) : machine_(machine) {}
  kit::WString Current(const kit::WString& printer, std::uint32_t job) override {
    return kit::sim::JobStatusText(machine_.store(), printer, job);
  }
  void Show(const kit::WString& printer, std::uint32_t job, const kit::WString& text) override {
    kit::sim::SetJobStatusText(machine_.store(), printer, job, text);
  }

 private:
  kit::sim::Machine& machine_;
};

struct LanguageMonitor {
  std::unique_ptr<kit::sim::Machine> machine;
  std::unique_ptr<MachineJobTexts> texts;
};

using Below = kit::monitors::TablePortBelow<abi::Monitor2, char16_t, abi::Dword>;

// The port monitor below opens the port; its refusal is handed on.
abi::Bool OpenPortEx(abi::Handle handle, abi::Handle port_monitor, abi::Wchar* port_name, abi::Wchar* printer,
                     abi::Handle* opened, abi::Monitor2* below) {
  auto* monitor = static_cast<LanguageMonitor*>(handle);
  if (monitor == nullptr || port_name == nullptr || opened == nullptr || !TableHas(below, &abi::Monitor2::pfnOpenPort)) {
    return PosixDone(kit::win32::kErrorInvalidParameter);
  }
  abi::Handle port = nullptr;
  PosixDone(kit::win32::kErrorSuccess);
  if (below->pfnOpenPort(port_monitor, port_name, &port) == 0) {
    const std::uint32_t error = LastError();
    return PosixDone(error != 0 ? error : kit::win32::kErrorInvalidFunction);
  }
  auto* result = new (std::nothrow) LanguagePort(std::make_unique<Below>(below, port, LastError), *monitor->texts,
                                                 printer != nullptr ? kit::WString(printer) : kit::WString());
  if (result == nullptr) {
    if (below->pfnClosePort != nullptr) below->pfnClosePort(port);
    return PosixDone(kit::win32::kErrorNotEnoughMemory);
  }
  *opened = result;
  return PosixDone(kit::win32::kErrorSuccess);
}

abi::Bool StartDocPort(abi::Handle handle, abi::Wchar* printer, abi::Dword job, abi::Dword level, std::uint8_t* info) {
  auto* port = static_cast<LanguagePort*>(handle);
  if (port == nullptr) return PosixDone(kit::win32::kErrorInvalidHandle);
  return PosixDone(port->StartJob(printer, job, level, info));
}

abi::Bool WritePort(abi::Handle handle, std::uint8_t* data, abi::Dword size, abi::Dword* written) {
  auto* port = static_cast<LanguagePort*>(handle);
  if (port == nullptr) return PosixDone(kit::win32::kErrorInvalidHandle);
  if (written == nullptr || (data == nullptr && size != 0)) return PosixDone(kit::win32::kErrorInvalidParameter);
  return PosixDone(port->Write(data, size, written));
}

abi::Bool ReadPort(abi::Handle handle, std::uint8_t* data, abi::Dword size, abi::Dword* read) {
  auto* port = static_cast<LanguagePort*>(handle);
  if (port == nullptr) return PosixDone(kit::win32::kErrorInvalidHandle);
  if (read == nullptr || (data == nullptr && size != 0)) return PosixDone(kit::win32::kErrorInvalidParameter);
  return PosixDone(port->Read(data, size, read));
}

abi::Bool EndDocPort(abi::Handle handle) {
  auto* port = static_cast<LanguagePort*>(handle);
  if (port == nullptr) return PosixDone(kit::win32::kErrorInvalidHandle);
  return PosixDone(port->EndJob());
}

abi::Bool ClosePort(abi::Handle handle) {
  auto* port = static_cast<LanguagePort*>(handle);
  if (port == nullptr) return PosixDone(kit::win32::kErrorInvalidHandle);
  const std::uint32_t error = port->Close();
  delete port;
  return PosixDone(error);
}

void Shutdown(abi::Handle monitor) { delete static_cast<LanguageMonitor*>(monitor); }

abi::Monitor2 MakeTable() {
  abi::Monitor2 table;
  // A language monitor fills OpenPortEx in place of EnumPorts and
  // OpenPort, and has no ports or XcvData of its own.
  table.cbSize = sizeof table;
  table.pfnOpenPortEx = OpenPortEx;
  table.pfnStartDocPort = StartDocPort;
  table.pfnWritePort = WritePort;
  table.pfnReadPort = ReadPort;
  table.pfnEndDocPort = EndDocPort;
  table.pfnClosePort = ClosePort;
  table.pfnShutdown = Shutdown;
  return table;
}

abi::Monitor2 g_table = MakeTable();

}  // namespace

extern "C" __attribute__((visibility("default"))) abi::Monitor2* InitializePrintMonitor2(abi::MonitorInit* init,
                                                                                         abi::Handle* monitor) {
  if (init != nullptr && init->cbSize >= sizeof(abi::MonitorInit)) g_get_last_error = init->get_last_error;
  auto machine = kit::monitors::OpenSpoolerMachine(init, monitor);
  if (!machine) return nullptr;
  auto* state = new (std::nothrow) LanguageMonitor;
  if (state == nullptr) {
    PosixDone(kit::win32::kErrorNotEnoughMemory);
    return nullptr;
  }
  state->machine = std::move(machine);
  state->texts = std::make_unique<MachineJobTexts>(*state->machine);
  *monitor = state;
  return &g_table;
}
