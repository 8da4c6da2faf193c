// The MONITOR2 functions of the kit's port monitors. The spooler loads a
// monitor when it is added and at every start, calls
// InitializePrintMonitor2 for this table, and then: EnumPorts for the
// ports, OpenPort / StartDocPort / WritePort / EndDocPort / ClosePort for
// each job, XcvOpenPort / XcvDataPort / XcvClosePort for the port dialog
// and the install, Shutdown before it unloads the module.
#include "monitors/dll/port_monitor_shell.h"

#include <new>
#include <string>

#include "monitors/core/monitor_calls.h"
#include "monitors/dll/monitor_table.h"
#include "platform/win32/windows_platform.h"

namespace kit::monitors {
namespace {

struct Monitor {
  std::unique_ptr<PortFamily> family;
  std::unique_ptr<Registry> registry = win32::MakeRegistry();
  std::unique_ptr<Clock> clock = win32::MakeClock();
};

// Wine's spooler library has SetPortW only as an entry that ends the
// process when called; under Wine (its ntdll exports wine_get_version) the
// port's state is not reported, and the job goes on as it would anyway.
bool SpoolerTakesPortStatus() {
  static const bool takes = [] {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll == nullptr || GetProcAddress(ntdll, "wine_get_version") == nullptr;
  }();
  return takes;
}

// The port's state in the queue through SetPort level 3 (PORT_INFO_3), as
// Microsoft documents for port monitors: a status code Windows words
// itself, or (status 0) a text of the monitor's own. Best effort.
class QueueStatus final : public PortStatusSink {
 public:
  QueueStatus(const PortFamily& family, const wchar_t* port) : family_(family), port_(port) {}
  void Report(PortState state, std::uint32_t cause) override {
    if (!SpoolerTakesPortStatus()) return;
    PORT_INFO_3W info{};
    std::wstring text;
    if (state == PortState::kOffline) {
      const WString problem = family_.Problem(cause);
      text.assign(problem.begin(), problem.end());
      info.dwStatus = text.empty() ? PORT_STATUS_OFFLINE : 0;
      info.pszStatus = text.empty() ? nullptr : text.data();
      info.dwSeverity = PORT_STATUS_TYPE_ERROR;
    } else if (state == PortState::kNotResponding) {
      // Connected, but taking no data: paper out, cover open, flow held.
      info.dwStatus = PORT_STATUS_USER_INTERVENTION;
      info.dwSeverity = PORT_STATUS_TYPE_ERROR;
    }
    SetPortW(nullptr, const_cast<wchar_t*>(port_.c_str()), 3, reinterpret_cast<BYTE*>(&info));
  }

 private:
  const PortFamily& family_;
  std::wstring port_;
};

struct Port {
  Port(Monitor* m, const WString& port_name)
      : monitor(m), name(port_name), wide(port_name.begin(), port_name.end()), status(*m->family, wide.c_str()) {}
  Monitor* monitor;
  WString name;
  std::wstring wide;
  QueueStatus status;
  std::unique_ptr<PortJob> job;
};

struct Xcv {
  Monitor* monitor = nullptr;
  ACCESS_MASK access = 0;
};

const char16_t* U16(const wchar_t* text) { return reinterpret_cast<const char16_t*>(text); }

BOOL Done(DWORD error) {
  SetLastError(error);
  return error == ERROR_SUCCESS ? TRUE : FALSE;
}

BOOL WINAPI ListPorts(HANDLE handle, LPWSTR /*name*/, DWORD level, LPBYTE ports, DWORD size, LPDWORD needed,
                      LPDWORD returned) {
  auto* monitor = static_cast<Monitor*>(handle);
  if (monitor == nullptr || needed == nullptr || returned == nullptr) return Done(ERROR_INVALID_PARAMETER);
  std::uint32_t n = 0, count = 0;
  const std::uint32_t status = ListFamilyPorts(*monitor->family, *monitor->registry, level, ports, size, &n, &count);
  *needed = n;
  *returned = count;
  return Done(status);
}

BOOL WINAPI OpenPort(HANDLE handle, LPWSTR name, PHANDLE port_handle) {
  auto* monitor = static_cast<Monitor*>(handle);
  if (monitor == nullptr || name == nullptr || port_handle == nullptr) return Done(ERROR_INVALID_PARAMETER);
  const WString port_name = monitor->family->FindPort(*monitor->registry, U16(name));
  if (port_name.empty()) return Done(ERROR_UNKNOWN_PORT);
  auto* port = new (std::nothrow) Port(monitor, port_name);
  if (port == nullptr) return Done(ERROR_NOT_ENOUGH_MEMORY);
  *port_handle = port;
  return Done(ERROR_SUCCESS);
}

BOOL WINAPI StartDocPort(HANDLE handle, LPWSTR /*printer*/, DWORD /*job*/, DWORD /*level*/, LPBYTE /*info*/) {
  auto* port = static_cast<Port*>(handle);
  if (port == nullptr) return Done(ERROR_INVALID_HANDLE);
  return Done(StartPortJob(*port->monitor->family, *port->monitor->registry, port->name, *port->monitor->clock,
                           &port->status, &port->job));
}

BOOL WINAPI WritePort(HANDLE handle, LPBYTE data, DWORD size, LPDWORD written) {
  auto* port = static_cast<Port*>(handle);
  if (port == nullptr || written == nullptr || (data == nullptr && size != 0)) return Done(ERROR_INVALID_PARAMETER);
  std::uint32_t n = 0;
  const std::uint32_t status = WriteToJob(port->job.get(), data, size, &n);
  *written = n;
  return Done(status);
}

BOOL WINAPI ReadPort(HANDLE handle, LPBYTE data, DWORD size, LPDWORD read) {
  auto* port = static_cast<Port*>(handle);
  if (port == nullptr || read == nullptr || (data == nullptr && size != 0)) return Done(ERROR_INVALID_PARAMETER);
  std::uint32_t n = 0;
  const std::uint32_t status = ReadFromJob(port->job.get(), data, size, &n);
  *read = n;
  return Done(status);
}

BOOL WINAPI EndDocPort(HANDLE handle) {
  auto* port = static_cast<Port*>(handle);
  if (port == nullptr) return Done(ERROR_INVALID_HANDLE);
  port->job.reset();
  return Done(ERROR_SUCCESS);
}

BOOL WINAPI ClosePort(HANDLE handle) {
  auto* port = static_cast<Port*>(handle);
  if (port == nullptr) return Done(ERROR_INVALID_HANDLE);
  delete port;
  return Done(ERROR_SUCCESS);
}

// XcvOpenPort's objects: ",XcvMonitor NAME" opens the monitor itself (an
// empty object), ",XcvPort PORT" one of its ports; the commands take the
// port from their input.
BOOL WINAPI XcvOpenPort(HANDLE monitor, LPCWSTR /*object*/, ACCESS_MASK access, PHANDLE handle) {
  if (monitor == nullptr || handle == nullptr) return Done(ERROR_INVALID_PARAMETER);
  auto* xcv = new (std::nothrow) Xcv{static_cast<Monitor*>(monitor), access};
  if (xcv == nullptr) return Done(ERROR_NOT_ENOUGH_MEMORY);
  *handle = xcv;
  return Done(ERROR_SUCCESS);
}

DWORD WINAPI XcvDataPort(HANDLE handle, LPCWSTR command, PBYTE input, DWORD input_size, PBYTE output,
                         DWORD output_size, PDWORD needed) {
  auto* xcv = static_cast<Xcv*>(handle);
  if (xcv == nullptr || command == nullptr || needed == nullptr) return ERROR_INVALID_PARAMETER;
  std::uint32_t n = 0;
  const std::uint32_t status = FamilyXcvData(*xcv->monitor->family, *xcv->monitor->registry, U16(command), input,
                                             input_size, output, output_size, xcv->access, &n);
  *needed = n;
  return status;
}

BOOL WINAPI XcvClosePort(HANDLE handle) {
  delete static_cast<Xcv*>(handle);
  return Done(ERROR_SUCCESS);
}

VOID WINAPI Shutdown(HANDLE monitor) { delete static_cast<Monitor*>(monitor); }

MONITOR2 MakeTable() {
  MONITOR2 table{};
  table.cbSize = kMonitorTableSize;
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

MONITOR2 g_table = MakeTable();

// Each port gets a key of its own, "Ports\\PORT", under the monitor's key.
// Windows' spooler learns a monitor's ports from EnumPorts; Wine's finds
// the monitor of a job's port by this key. Best effort: the ports work
// without it on Windows.
void AnnouncePorts(Monitor& monitor) {
  const WString key = WString(u"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\") +
                      WString(monitor.family->MonitorName()) + u"\\Ports\\";
  for (const WString& name : monitor.family->PortNames(*monitor.registry)) {
    RegistryKeyPtr port;
    monitor.registry->RegCreateKeyEx(RootKey::kLocalMachine, key + name, kKeyWrite, &port);
  }
}

}  // namespace

LPMONITOR2 StartPortMonitor(std::unique_ptr<PortFamily> family, PMONITORINIT init, PHANDLE monitor) {
  if (init == nullptr || monitor == nullptr || !family) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto* state = new (std::nothrow) Monitor;
  if (state == nullptr || !state->registry || !state->clock) {
    delete state;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  state->family = std::move(family);
  AnnouncePorts(*state);
  *monitor = state;
  return &g_table;
}

}  // namespace kit::monitors
