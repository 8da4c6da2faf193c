// KVRCOMMON.DLL, the "KVR Serial Port" monitor: the spooler loads it when the
// monitor is added and at every start, and calls InitializePrintMonitor2 for
// its MONITOR2 table (Microsoft's port monitor interface, winsplp.h). Each
// function checks its arguments and hands the work to the portable monitor
// code (monitors/core): the port list, the port's settings, the job's
// writes, the XcvData commands.
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <memory>
#include <new>

#include "monitors/core/port_info.h"
#include "monitors/core/port_job.h"
#include "monitors/core/serial_ports.h"
#include "monitors/core/xcv_data.h"
#include "monitors/serial/serial_device.h"
#include "platform/win32/windows_platform.h"
#include "platform/win32_errors.h"

namespace {

using namespace kit::monitors;

constexpr wchar_t kMonitorName[] = L"KVR Serial Port";
constexpr char16_t kPortDescription[] = u"KVR Serial Port";
// XcvOpenPort's objects: ",XcvMonitor NAME" opens the monitor itself (an
// empty object), ",XcvPort PORT" one of its ports.

struct Monitor {
  std::unique_ptr<kit::Registry> registry = kit::win32::MakeRegistry();
  std::unique_ptr<kit::Clock> clock = kit::win32::MakeClock();
};

// The port's state in the queue through SetPort level 3 (PORT_INFO_3), as
// Microsoft documents for port monitors; best effort.
class QueueStatus final : public PortStatusSink {
 public:
  explicit QueueStatus(const wchar_t* port) : port_(port) {}
  void Report(PortState state) override {
    PORT_INFO_3W info{};
    if (state == PortState::kOffline) {
      info.dwStatus = PORT_STATUS_OFFLINE;
      info.dwSeverity = PORT_STATUS_TYPE_ERROR;
    } else if (state == PortState::kNotResponding) {
      // Connected, but taking no data: paper out, cover open, flow held.
      info.dwStatus = PORT_STATUS_USER_INTERVENTION;
      info.dwSeverity = PORT_STATUS_TYPE_ERROR;
    }
    SetPortW(nullptr, const_cast<wchar_t*>(port_.c_str()), 3, reinterpret_cast<BYTE*>(&info));
  }

 private:
  std::wstring port_;
};

struct Port {
  Monitor* monitor = nullptr;
  int number = 0;
  std::wstring name;
  QueueStatus status{L""};
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

BOOL WINAPI ListPorts(HANDLE monitor, LPWSTR /*name*/, DWORD level, LPBYTE ports, DWORD size, LPDWORD needed,
                       LPDWORD returned) {
  if (monitor == nullptr || needed == nullptr || returned == nullptr) return Done(ERROR_INVALID_PARAMETER);
  const auto names = SerialPortNames();
  PortInfoRequest request;
  request.level = level;
  request.names = &names;
  request.monitor_name = U16(kMonitorName);
  request.description = kPortDescription;
  request.buffer = ports;
  request.size = size;
  std::uint32_t n = 0, count = 0;
  const std::uint32_t status = PackPortInfo(request, &n, &count);
  *needed = n;
  *returned = count;
  return Done(status);
}

BOOL WINAPI OpenPort(HANDLE monitor, LPWSTR name, PHANDLE handle) {
  if (monitor == nullptr || name == nullptr || handle == nullptr) return Done(ERROR_INVALID_PARAMETER);
  const auto number = SerialPortNumber(U16(name));
  if (!number) return Done(ERROR_UNKNOWN_PORT);
  auto* port = new (std::nothrow) Port;
  if (port == nullptr) return Done(ERROR_NOT_ENOUGH_MEMORY);
  port->monitor = static_cast<Monitor*>(monitor);
  port->number = *number;
  port->name = name;
  port->status = QueueStatus(name);
  *handle = port;
  return Done(ERROR_SUCCESS);
}

BOOL WINAPI StartDocPort(HANDLE handle, LPWSTR /*printer*/, DWORD /*job*/, DWORD /*level*/, LPBYTE /*info*/) {
  auto* port = static_cast<Port*>(handle);
  if (port == nullptr) return Done(ERROR_INVALID_HANDLE);
  // The settings as they are now: a change in the port dialog holds from
  // the next job on.
  const StoredSettings stored = ReadPortSettings(*port->monitor->registry, port->number);
  if (stored.error != 0) return Done(stored.error);
  port->job = std::make_unique<PortJob>(MakeSerialDevice(port->number, stored.settings), *port->monitor->clock,
                                        &port->status);
  return Done(port->job->StartJob());
}

BOOL WINAPI WritePort(HANDLE handle, LPBYTE data, DWORD size, LPDWORD written) {
  auto* port = static_cast<Port*>(handle);
  if (port == nullptr || written == nullptr || (data == nullptr && size != 0)) return Done(ERROR_INVALID_PARAMETER);
  *written = 0;
  if (!port->job) return Done(ERROR_INVALID_HANDLE);
  std::uint32_t n = 0, error = 0;
  const bool ok = port->job->Write(data, size, &n, &error);
  *written = n;
  return ok ? Done(ERROR_SUCCESS) : Done(error);
}

BOOL WINAPI ReadPort(HANDLE handle, LPBYTE data, DWORD size, LPDWORD read) {
  auto* port = static_cast<Port*>(handle);
  if (port == nullptr || read == nullptr || (data == nullptr && size != 0)) return Done(ERROR_INVALID_PARAMETER);
  *read = 0;
  if (!port->job) return Done(ERROR_INVALID_HANDLE);
  std::uint32_t n = 0, error = 0;
  const bool ok = port->job->Read(data, size, &n, &error);
  *read = n;
  return ok ? Done(ERROR_SUCCESS) : Done(error);
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
  XcvRequest request;
  request.command = U16(command);
  request.input = input;
  request.input_size = input_size;
  request.output = output;
  request.output_size = output_size;
  request.granted_access = xcv->access;
  std::uint32_t n = 0;
  const std::uint32_t status = SerialXcvData(*xcv->monitor->registry, request, &n);
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
  // The Windows 2000 layout, which every later Windows takes: the table
  // ends with Shutdown.
  table.cbSize = MONITOR2_SIZE_WIN2K;
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

// Each port gets a key of its own, "Ports\\KVCOMn:", under the monitor's
// key. Windows' spooler learns a monitor's ports from EnumPorts; Wine's
// finds the monitor of a job's port by this key. Best effort: the ports
// work without it on Windows.
void AnnouncePorts(kit::Registry& registry) {
  const kit::WString key = kit::WString(u"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\") +
                           U16(kMonitorName) + u"\\Ports\\";
  for (const kit::WString& name : SerialPortNames()) {
    kit::RegistryKeyPtr port;
    registry.RegCreateKeyEx(kit::RootKey::kLocalMachine, key + name, kit::kKeyWrite, &port);
  }
}

}  // namespace

extern "C" __declspec(dllexport) LPMONITOR2 WINAPI InitializePrintMonitor2(PMONITORINIT init, PHANDLE monitor) {
  if (init == nullptr || monitor == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto* state = new (std::nothrow) Monitor;
  if (state == nullptr || !state->registry || !state->clock) {
    delete state;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  AnnouncePorts(*state->registry);
  *monitor = state;
  return &g_table;
}
