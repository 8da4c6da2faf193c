// The port monitor interface of the virtual machine's spooler: the
// documented MONITOR2 table (winsplp.h; Microsoft's "MONITOR2 structure"
// and "InitializePrintMonitor2 function") in the Linux builds' terms. The
// field order and the meaning of every call are Windows'; strings are
// UTF-16 (char16_t, Windows' WCHAR) and the calls use the platform's own
// calling convention. The machine hands a monitor what Windows hands it
// through kernel32 and the spooler process: its SetLastError and the
// machine it runs on, in the fields after the documented MONITORINIT.
#pragma once

#include <cstdint>

namespace kit::sim::monitor_abi {

using Bool = int;
using Dword = std::uint32_t;
using Handle = void*;
using Wchar = char16_t;

struct MonitorInit {
  // The documented MONITORINIT fields.
  Dword cbSize = 0;
  Handle hSpooler = nullptr;
  Handle hckRegistry = nullptr;
  void* pMonitorReg = nullptr;
  Bool bLocal = 1;
  const Wchar* pszServerName = nullptr;
  // The machine's additions: the thread's last error as SetLastError sets
  // and GetLastError reads it (a language monitor reads what the port
  // monitor below it set), the machine folder and the bitness of the
  // spooler's process.
  void (*set_last_error)(Dword error) = nullptr;
  Dword (*get_last_error)() = nullptr;
  const char* machine_folder = nullptr;
  int process_bits = 64;
};

// MONITOR2 as far as Windows 2000 defines it (MONITOR2_SIZE_WIN2K): the
// table ends with pfnShutdown. Entries a monitor does not offer are null:
// a port monitor fills EnumPorts and OpenPort, a language monitor
// OpenPortEx in their place (Microsoft's "Language Monitors").
struct Monitor2;
// OpenPortEx of a language monitor: the port `name` of the port monitor
// (its handle and table) opened through it for `printer`.
using OpenPortExFn = Bool (*)(Handle monitor, Handle port_monitor, Wchar* name, Wchar* printer, Handle* port,
                              Monitor2* port_monitor_table);
struct Monitor2 {
  Dword cbSize = 0;
  Bool (*pfnEnumPorts)(Handle monitor, Wchar* name, Dword level, std::uint8_t* ports, Dword size, Dword* needed,
                       Dword* returned) = nullptr;
  Bool (*pfnOpenPort)(Handle monitor, Wchar* name, Handle* port) = nullptr;
  OpenPortExFn pfnOpenPortEx = nullptr;
  Bool (*pfnStartDocPort)(Handle port, Wchar* printer, Dword job, Dword level, std::uint8_t* doc_info) = nullptr;
  Bool (*pfnWritePort)(Handle port, std::uint8_t* data, Dword size, Dword* written) = nullptr;
  Bool (*pfnReadPort)(Handle port, std::uint8_t* data, Dword size, Dword* read) = nullptr;
  Bool (*pfnEndDocPort)(Handle port) = nullptr;
  Bool (*pfnClosePort)(Handle port) = nullptr;
  void* pfnAddPort = nullptr;
  void* pfnAddPortEx = nullptr;
  void* pfnConfigurePort = nullptr;
  void* pfnDeletePort = nullptr;
  void* pfnGetPrinterDataFromPort = nullptr;
  void* pfnSetPortTimeOuts = nullptr;
  Bool (*pfnXcvOpenPort)(Handle monitor, const Wchar* object, Dword access, Handle* xcv) = nullptr;
  Dword (*pfnXcvDataPort)(Handle xcv, const Wchar* command, std::uint8_t* input, Dword input_size,
                          std::uint8_t* output, Dword output_size, Dword* needed) = nullptr;
  Bool (*pfnXcvClosePort)(Handle xcv) = nullptr;
  void (*pfnShutdown)(Handle monitor) = nullptr;
};

// The exported entry point every monitor module has, by this name.
inline constexpr char kInitializePrintMonitor2[] = "InitializePrintMonitor2";
using InitializePrintMonitor2Fn = Monitor2* (*)(MonitorInit* init, Handle* monitor);

}  // namespace kit::sim::monitor_abi
