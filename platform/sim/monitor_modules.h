// Port monitor modules on the virtual machine, loaded as Windows' spooler
// loads them: AddMonitor loads the named file from the system folder and
// looks up InitializePrintMonitor2 (Microsoft's "AddMonitor function": a
// file that is no module gives ERROR_BAD_EXE_FORMAT, one without the entry
// point ERROR_PROC_NOT_FOUND); jobs to one of its ports go through its
// OpenPort, StartDocPort, WritePort, EndDocPort and ClosePort. The module is
// the Linux build of the monitor (a shared object), laid onto the machine
// under its Windows name.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/sim/monitor_abi.h"
#include "platform/types.h"

namespace kit::sim {

// 0 when the file is a module with InitializePrintMonitor2;
// kErrorBadExeFormat when it cannot be loaded as a module;
// kErrorProcNotFound when it lacks the entry point.
std::uint32_t CheckMonitorModule(const std::filesystem::path& module);

// A module initialized for one machine in this process (kept loaded, as the
// spooler keeps its monitors).
struct LoadedMonitor {
  monitor_abi::Monitor2* table = nullptr;
  monitor_abi::Handle handle = nullptr;
};
// Loads and initializes the module once per machine folder; null with
// *error set when it cannot (the check's codes, or the entry point's
// refusal). `process_bits`: the spooler's process, the machine's own.
const LoadedMonitor* InitializeMonitor(const std::filesystem::path& module, const std::filesystem::path& machine,
                                       int process_bits, std::uint32_t* error);

// Whether the module is a language monitor (OpenPortEx, no ports).
bool IsLanguageMonitor(const LoadedMonitor& monitor);

// The monitor's ports (EnumPorts level 1; none for a language monitor);
// *error set on a refusal.
std::vector<WString> MonitorPorts(const LoadedMonitor& monitor, std::uint32_t* error);

// How many WritePort calls that take nothing a job makes in a row before it
// is left waiting in the queue (each returns after the monitor's own pause).
inline constexpr int kIdleWritesBeforeWaiting = 3;
// The largest piece one WritePort call is given.
inline constexpr std::uint32_t kWritePiece = 16 * 1024;

struct MonitorJob {
  WString port;
  WString printer;
  std::uint32_t id = 0;
  const Bytes* data = nullptr;
  // Bytes the printer already took in an earlier try.
  std::uint64_t from = 0;
};
struct MonitorJobResult {
  // Bytes the printer has taken, `from` included.
  std::uint64_t sent = 0;
  // 0, or the Win32 code of the call that refused (OpenPort, StartDocPort,
  // WritePort) and its name.
  std::uint32_t error = 0;
  std::string failed_call;
};
// Sends the job's bytes after `from` through the port monitor, or through
// the language monitor `language` over it (null: none). A printer that
// takes nothing kIdleWritesBeforeWaiting times in a row ends the try early
// (sent < size, no error): the job waits, its document left unended.
MonitorJobResult SendThroughMonitor(const LoadedMonitor& monitor, const LoadedMonitor* language,
                                    const MonitorJob& job);

// XcvData through the monitor: XcvOpenPort on `object` (empty for the
// monitor itself, else a port name) with the caller's granted access,
// XcvDataPort with an output buffer of `output_size` bytes, XcvClosePort.
// Returns 0 with the monitor's answer in *status (the output cut to what it
// wrote when it succeeded, *needed as it set it), or XcvOpenPort's refusal.
struct XcvCall {
  WString object;
  std::uint32_t access = 0;
  WString command;
  const Bytes* input = nullptr;
  std::uint32_t output_size = 0;
};
std::uint32_t XcvThroughMonitor(const LoadedMonitor& monitor, const XcvCall& call, Bytes* output, std::uint32_t* needed,
                                std::uint32_t* status);

}  // namespace kit::sim
