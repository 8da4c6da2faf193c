// Port monitor modules on the virtual machine: dlopen stands for
// LoadLibrary, dlsym for GetProcAddress.
#include "platform/sim/monitor_modules.h"

#include <dlfcn.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <utility>

#include "platform/sim/core.h"

namespace kit::sim {
namespace {

namespace abi = monitor_abi;

thread_local abi::Dword t_monitor_error = 0;
void SetMonitorError(abi::Dword error) { t_monitor_error = error; }
abi::Dword GetMonitorError() { return t_monitor_error; }

void* LoadModule(const std::filesystem::path& module) {
  return ::dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
}

std::mutex g_mutex;
// By module and machine folder: one initialized monitor each. When the
// process ends each monitor is shut down, as the spooler calls Shutdown
// when it stops (the monitor frees what it holds).
struct LoadedMonitors {
  std::map<std::pair<std::string, std::string>, LoadedMonitor> by_key;
  ~LoadedMonitors() {
    for (auto& [key, monitor] : by_key) {
      if (monitor.table->pfnShutdown != nullptr) monitor.table->pfnShutdown(monitor.handle);
    }
  }
};
LoadedMonitors g_loaded;

// The error of a call that returned FALSE: what the monitor set, or a
// generic failure when it set nothing.
std::uint32_t Refusal() { return t_monitor_error != 0 ? t_monitor_error : win32::kErrorGenFailure; }

}  // namespace

std::uint32_t CheckMonitorModule(const std::filesystem::path& module) {
  void* handle = LoadModule(module);
  if (handle == nullptr) return win32::kErrorBadExeFormat;
  const bool has_entry = ::dlsym(handle, abi::kInitializePrintMonitor2) != nullptr;
  ::dlclose(handle);
  return has_entry ? 0 : win32::kErrorProcNotFound;
}

const LoadedMonitor* InitializeMonitor(const std::filesystem::path& module, const std::filesystem::path& machine,
                                       int process_bits, std::uint32_t* error) {
  std::lock_guard<std::mutex> lock(g_mutex);
  const auto key = std::make_pair(module.string(), machine.string());
  if (auto it = g_loaded.by_key.find(key); it != g_loaded.by_key.end()) return &it->second;
  void* handle = LoadModule(module);
  if (handle == nullptr) return *error = win32::kErrorBadExeFormat, nullptr;
  auto init_fn = reinterpret_cast<abi::InitializePrintMonitor2Fn>(::dlsym(handle, abi::kInitializePrintMonitor2));
  if (init_fn == nullptr) {
    ::dlclose(handle);
    return *error = win32::kErrorProcNotFound, nullptr;
  }
  const std::string folder = machine.string();
  abi::MonitorInit init;
  init.cbSize = sizeof init;
  init.set_last_error = SetMonitorError;
  init.get_last_error = GetMonitorError;
  init.machine_folder = folder.c_str();
  init.process_bits = process_bits;
  LoadedMonitor loaded;
  t_monitor_error = 0;
  loaded.table = init_fn(&init, &loaded.handle);
  // A table shorter than Windows 2000's lacks calls the spooler makes: a
  // port monitor's EnumPorts and OpenPort, or a language monitor's
  // OpenPortEx, and the job's calls of both.
  const abi::Monitor2* t = loaded.table;
  const bool opens = t != nullptr && ((t->pfnEnumPorts != nullptr && t->pfnOpenPort != nullptr) ||
                                      (t->pfnOpenPortEx != nullptr && t->pfnOpenPort == nullptr));
  if (t == nullptr || t->cbSize < sizeof(abi::Monitor2) || !opens || t->pfnStartDocPort == nullptr ||
      t->pfnWritePort == nullptr || t->pfnEndDocPort == nullptr || t->pfnClosePort == nullptr) {
    *error = loaded.table == nullptr ? Refusal() : win32::kErrorInvalidData;
    return nullptr;  // the module stays loaded: its code may be in use
  }
  return &g_loaded.by_key.emplace(key, loaded).first->second;
}

bool IsLanguageMonitor(const LoadedMonitor& monitor) {
  return monitor.table->pfnOpenPortEx != nullptr && monitor.table->pfnOpenPort == nullptr;
}

std::vector<WString> MonitorPorts(const LoadedMonitor& monitor, std::uint32_t* error) {
  *error = 0;
  // A language monitor has no ports of its own.
  if (monitor.table->pfnEnumPorts == nullptr) return {};
  abi::Dword needed = 0, returned = 0;
  t_monitor_error = 0;
  if (monitor.table->pfnEnumPorts(monitor.handle, nullptr, 1, nullptr, 0, &needed, &returned) == 0 &&
      Refusal() != win32::kErrorInsufficientBuffer) {
    *error = Refusal();
    return {};
  }
  // PORT_INFO_1W records: one pointer each, to a name inside the buffer.
  std::vector<abi::Wchar*> buffer((needed + sizeof(abi::Wchar*) - 1) / sizeof(abi::Wchar*) + 1);
  t_monitor_error = 0;
  if (monitor.table->pfnEnumPorts(monitor.handle, nullptr, 1, reinterpret_cast<std::uint8_t*>(buffer.data()),
                                  needed, &needed, &returned) == 0) {
    *error = Refusal();
    return {};
  }
  std::vector<WString> names;
  for (abi::Dword i = 0; i < returned && i < buffer.size(); ++i) {
    if (buffer[i] != nullptr) names.emplace_back(buffer[i]);
  }
  return names;
}

MonitorJobResult SendThroughMonitor(const LoadedMonitor& monitor, const LoadedMonitor* language,
                                    const MonitorJob& job) {
  // With a language monitor every call of the job goes to it, and it calls
  // the port monitor's (Microsoft's "Language Monitors": the spooler opens
  // the port with the language monitor's OpenPortEx, handing it the port
  // monitor's handle and MONITOR2 table).
  const abi::Monitor2& t = language != nullptr ? *language->table : *monitor.table;
  MonitorJobResult result;
  result.sent = job.from;
  WString port = job.port, printer = job.printer;
  abi::Handle handle = nullptr;
  auto refused = [&](const char* call) {
    result.error = Refusal();
    result.failed_call = call;
    return result;
  };
  t_monitor_error = 0;
  if (language != nullptr) {
    if (t.pfnOpenPortEx(language->handle, monitor.handle, port.data(), printer.data(), &handle, monitor.table) == 0) {
      return refused("OpenPortEx");
    }
  } else if (t.pfnOpenPort(monitor.handle, port.data(), &handle) == 0) {
    return refused("OpenPort");
  }
  t_monitor_error = 0;
  // The spooler passes the job's DOC_INFO_1; the kit's monitors read
  // nothing from it.
  if (t.pfnStartDocPort(handle, printer.data(), job.id, 1, nullptr) == 0) {
    refused("StartDocPort");
    t.pfnClosePort(handle);
    return result;
  }
  const Bytes& data = *job.data;
  int idle = 0;
  while (result.sent < data.size() && idle < kIdleWritesBeforeWaiting) {
    const auto piece = static_cast<abi::Dword>(std::min<std::uint64_t>(kWritePiece, data.size() - result.sent));
    abi::Dword written = 0;
    t_monitor_error = 0;
    if (t.pfnWritePort(handle, const_cast<std::uint8_t*>(data.data()) + result.sent, piece, &written) == 0) {
      refused("WritePort");
      break;
    }
    written = std::min(written, piece);
    idle = written == 0 ? idle + 1 : 0;
    result.sent += written;
  }
  // A job the printer stopped taking is not finished: the port is closed
  // without EndDocPort (which tells the monitors the job is done), and the
  // next try starts the document again where the printer stopped.
  if (result.sent >= data.size() || result.error != 0) t.pfnEndDocPort(handle);
  t.pfnClosePort(handle);
  return result;
}

std::uint32_t XcvThroughMonitor(const LoadedMonitor& monitor, const XcvCall& call, Bytes* output, std::uint32_t* needed,
                                std::uint32_t* status) {
  const abi::Monitor2& t = *monitor.table;
  if (t.pfnXcvOpenPort == nullptr || t.pfnXcvDataPort == nullptr || t.pfnXcvClosePort == nullptr) {
    return win32::kErrorInvalidFunction;
  }
  abi::Handle xcv = nullptr;
  t_monitor_error = 0;
  if (t.pfnXcvOpenPort(monitor.handle, call.object.empty() ? nullptr : call.object.c_str(), call.access, &xcv) == 0) {
    return Refusal();
  }
  Bytes input = call.input != nullptr ? *call.input : Bytes();
  output->assign(call.output_size, 0);
  abi::Dword n = 0;
  *status = t.pfnXcvDataPort(xcv, call.command.c_str(), input.empty() ? nullptr : input.data(),
                             static_cast<abi::Dword>(input.size()), output->empty() ? nullptr : output->data(),
                             call.output_size, &n);
  t.pfnXcvClosePort(xcv);
  *needed = n;
  output->resize(*status == win32::kErrorSuccess ? std::min<std::size_t>(n, output->size()) : 0);
  return 0;
}

}  // namespace kit::sim
