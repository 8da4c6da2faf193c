// The Linux shell of the kit's port monitors (port_monitor_posix.h).
#include "monitors/dll/port_monitor_posix.h"

#include <memory>
#include <new>
#include <string>

#include "monitors/core/monitor_calls.h"
#include "monitors/core/port_job.h"
#include "platform/win32_errors.h"

namespace kit::monitors {
namespace {

namespace abi = kit::sim::monitor_abi;

void (*g_set_last_error)(abi::Dword) = nullptr;
void (*g_at_shutdown)() = nullptr;

// The family works on the machine: made after it, gone before it.
struct Monitor {
  std::unique_ptr<kit::sim::Machine> machine;
  std::unique_ptr<PortFamily> family;
  kit::Registry& registry() { return machine->platform().registry; }
};

struct Port {
  Monitor* monitor = nullptr;
  kit::WString name;
  std::unique_ptr<PortJob> job;
};

struct Xcv {
  Monitor* monitor = nullptr;
  abi::Dword access = 0;
};

// The machine keeps no port status of its own: a job the printer does not
// take shows as waiting in its queue.
class NoStatus final : public PortStatusSink {
 public:
  void Report(PortState, std::uint32_t) override {}
};
NoStatus g_no_status;

abi::Bool Done(abi::Dword error) { return PosixDone(error); }

abi::Bool ListPorts(abi::Handle handle, char16_t*, abi::Dword level, std::uint8_t* ports, abi::Dword size,
                    abi::Dword* needed, abi::Dword* returned) {
  auto* monitor = static_cast<Monitor*>(handle);
  if (monitor == nullptr || needed == nullptr || returned == nullptr) return Done(kit::win32::kErrorInvalidParameter);
  std::uint32_t n = 0, count = 0;
  const std::uint32_t status = ListFamilyPorts(*monitor->family, monitor->registry(), level, ports, size, &n, &count);
  *needed = n;
  *returned = count;
  return Done(status);
}

abi::Bool OpenPort(abi::Handle handle_of_monitor, char16_t* name, abi::Handle* handle) {
  auto* monitor = static_cast<Monitor*>(handle_of_monitor);
  if (monitor == nullptr || name == nullptr || handle == nullptr) return Done(kit::win32::kErrorInvalidParameter);
  kit::WString port_name = monitor->family->FindPort(monitor->registry(), name);
  if (port_name.empty()) return Done(kit::win32::kErrorUnknownPort);
  auto* port = new (std::nothrow) Port{monitor, std::move(port_name), nullptr};
  if (port == nullptr) return Done(kit::win32::kErrorNotEnoughMemory);
  *handle = port;
  return Done(kit::win32::kErrorSuccess);
}

abi::Bool StartDocPort(abi::Handle handle, char16_t*, abi::Dword, abi::Dword, std::uint8_t*) {
  auto* port = static_cast<Port*>(handle);
  if (port == nullptr) return Done(kit::win32::kErrorInvalidHandle);
  return Done(StartPortJob(*port->monitor->family, port->monitor->registry(), port->name,
                           port->monitor->machine->platform().clock, &g_no_status, &port->job));
}

abi::Bool WritePort(abi::Handle handle, std::uint8_t* data, abi::Dword size, abi::Dword* written) {
  auto* port = static_cast<Port*>(handle);
  if (port == nullptr || written == nullptr || (data == nullptr && size != 0)) {
    return Done(kit::win32::kErrorInvalidParameter);
  }
  std::uint32_t n = 0;
  const std::uint32_t status = WriteToJob(port->job.get(), data, size, &n);
  *written = n;
  return Done(status);
}

abi::Bool ReadPort(abi::Handle handle, std::uint8_t* data, abi::Dword size, abi::Dword* read) {
  auto* port = static_cast<Port*>(handle);
  if (port == nullptr || read == nullptr || (data == nullptr && size != 0)) {
    return Done(kit::win32::kErrorInvalidParameter);
  }
  std::uint32_t n = 0;
  const std::uint32_t status = ReadFromJob(port->job.get(), data, size, &n);
  *read = n;
  return Done(status);
}

abi::Bool EndDocPort(abi::Handle handle) {
  auto* port = static_cast<Port*>(handle);
  if (port == nullptr) return Done(kit::win32::kErrorInvalidHandle);
  port->job.reset();
  return Done(kit::win32::kErrorSuccess);
}

abi::Bool ClosePort(abi::Handle handle) {
  auto* port = static_cast<Port*>(handle);
  if (port == nullptr) return Done(kit::win32::kErrorInvalidHandle);
  delete port;
  return Done(kit::win32::kErrorSuccess);
}

abi::Bool XcvOpenPort(abi::Handle monitor, const char16_t*, abi::Dword access, abi::Handle* handle) {
  if (monitor == nullptr || handle == nullptr) return Done(kit::win32::kErrorInvalidParameter);
  auto* xcv = new (std::nothrow) Xcv{static_cast<Monitor*>(monitor), access};
  if (xcv == nullptr) return Done(kit::win32::kErrorNotEnoughMemory);
  *handle = xcv;
  return Done(kit::win32::kErrorSuccess);
}

abi::Dword XcvDataPort(abi::Handle handle, const char16_t* command, std::uint8_t* input, abi::Dword input_size,
                       std::uint8_t* output, abi::Dword output_size, abi::Dword* needed) {
  auto* xcv = static_cast<Xcv*>(handle);
  if (xcv == nullptr || command == nullptr || needed == nullptr) return kit::win32::kErrorInvalidParameter;
  std::uint32_t n = 0;
  const std::uint32_t status = FamilyXcvData(*xcv->monitor->family, xcv->monitor->registry(), command, input,
                                             input_size, output, output_size, xcv->access, &n);
  *needed = n;
  return status;
}

abi::Bool XcvClosePort(abi::Handle handle) {
  delete static_cast<Xcv*>(handle);
  return Done(kit::win32::kErrorSuccess);
}

void Shutdown(abi::Handle monitor) {
  if (g_at_shutdown != nullptr) g_at_shutdown();
  delete static_cast<Monitor*>(monitor);
}

abi::Monitor2 MakeTable() {
  abi::Monitor2 table;
  table.cbSize = sizeof table;
  table.pfnEnumPorts = ListPorts;
  table.pfnOpenPort = OpenPort;
  table.pfnStartDocPort = StartDocPort;
  table.pfnWritePort = WritePort;
  table.pfnReadPort = ReadPort;
  table.pfnEndDocPort = EndDocPort;
  table.pfnClosePort = ClosePort;
  table.pfnXcvOpenPort = XcvOpenPort;
  table.pfnXcvDataPort = XcvDataPort;
  table.pfnXcvClosePort = XcvClosePort;
  table.pfnShutdown = Shutdown;
  return table;
}

abi::Monitor2 g_table = MakeTable();

}  // namespace

abi::Bool PosixDone(abi::Dword error) {
  if (g_set_last_error != nullptr) g_set_last_error(error);
  return error == kit::win32::kErrorSuccess ? 1 : 0;
}

std::unique_ptr<sim::Machine> OpenSpoolerMachine(abi::MonitorInit* init, abi::Handle* monitor) {
  if (monitor == nullptr || init == nullptr || init->cbSize < sizeof(abi::MonitorInit) ||
      init->machine_folder == nullptr) {
    if (init != nullptr && init->cbSize >= sizeof(abi::MonitorInit) && init->set_last_error != nullptr) {
      init->set_last_error(kit::win32::kErrorInvalidParameter);
    }
    return nullptr;
  }
  g_set_last_error = init->set_last_error;
  // The spooler's process: the machine's own bitness, the system account.
  kit::sim::ProcessOptions process;
  process.bits = init->process_bits;
  process.module_path = u"C:\\Windows\\system32\\spoolsv.exe";
  process.account = kit::sim::kSystemAccount;
  std::string error;
  auto machine = kit::sim::Machine::Open(init->machine_folder, process, &error);
  if (!machine) PosixDone(kit::win32::kErrorInvalidData);
  return machine;
}

abi::Monitor2* StartPosixPortMonitor(abi::MonitorInit* init, abi::Handle* monitor, MakeFamily make,
                                     void (*at_shutdown)()) {
  auto machine = OpenSpoolerMachine(init, monitor);
  if (!machine) return nullptr;
  auto* state = new (std::nothrow) Monitor;
  if (state == nullptr) {
    PosixDone(kit::win32::kErrorNotEnoughMemory);
    return nullptr;
  }
  state->machine = std::move(machine);
  state->family = make(*state->machine);
  g_at_shutdown = at_shutdown;
  *monitor = state;
  return &g_table;
}

}  // namespace kit::monitors
