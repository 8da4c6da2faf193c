// Port monitors and print processors of the virtual machine's spooler,
// with their registry keys.

#include <filesystem>
#include <map>

#include "platform/sim/machine.h"
#include "platform/sim/monitor_modules.h"
#include "platform/sim/spooler_internal.h"

namespace kit::sim::spool {
namespace {

namespace fs = std::filesystem;

constexpr char kMonitorsKey[] = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors";
constexpr char kEnvironmentsKey[] = "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments";

}  // namespace

bool SimSpooler::AddMonitor(WStringView server, const MonitorInfo2& info) {
  // Windows loads the module and calls its InitializePrintMonitor2 before
  // it records the monitor; the module's own calls to the machine (its
  // registry) run outside this process's hold on the state.
  fs::path module;
  bool checked = Call("AddMonitor", info.name, [&](Json& s) {
    if (!server.empty()) return Core::Fail(win32::kErrorInvalidParameter);
    if (!s["system"].value("admin", true)) return Core::Fail(win32::kErrorAccessDenied);
    if (info.name.empty() || info.dll_name.empty()) return Core::Fail(win32::kErrorInvalidParameter);
    if (!info.environment.empty() && !EqualsNoCase(info.environment, core_.LocalEnvironment(s))) {
      return Core::Fail(win32::kErrorInvalidEnvironment);
    }
    if (FindByName(s["spooler"]["monitors"], info.name)) return Core::Fail(win32::kErrorPrintMonitorAlreadyInstalled);
    // The spooler loads the monitor from the (native) system folder.
    ResolvedPath r;
    std::error_code ec;
    if (!core_.Resolve(s, NativeSystemDirectory(s) + u"\\" + info.dll_name, /*redirect=*/false, &r) ||
        !fs::is_regular_file(r.host, ec)) {
      return Core::Fail(win32::kErrorModNotFound);
    }
    if (const auto error = CheckMonitorModule(r.host)) return Core::Fail(error);
    module = r.host;
    return false;  // nothing changes yet
  });
  if (!checked && module.empty()) return false;
  Json ports = Json::array();
  std::string bits_error;
  const int bits = NativeProcessBits(core_.store().Folder(), &bits_error);
  std::uint32_t error = 0;
  const LoadedMonitor* loaded = InitializeMonitor(module, core_.store().Folder(), bits == 0 ? 64 : bits, &error);
  if (loaded == nullptr) return Core::Fail(error);
  for (const auto& name : MonitorPorts(*loaded, &error)) ports.push_back(U8(name));
  if (error != 0) return Core::Fail(error);
  // Recorded without a second faultable call: AddMonitor is one call.
  return core_.Update([&](Json& s) {
    auto& sp = s["spooler"];
    if (FindByName(sp["monitors"], info.name)) return Core::Fail(win32::kErrorPrintMonitorAlreadyInstalled);
    // The module's file, relative to the machine folder (a copy of the
    // machine finds its own), and the ports its EnumPorts lists.
    Json m = {{"name", U8(info.name)},
              {"dll", U8(info.dll_name)},
              {"module", fs::relative(module, core_.store().Folder()).generic_string()},
              {"ports", ports}};
    if (IsLanguageMonitor(*loaded)) m["language"] = true;
    sp["monitors"].push_back(m);
    Json& key = RegistryNode(s, SplitPath(FromUtf8(kMonitorsKey) + u"\\" + info.name));
    SetRegString(key, "Driver", info.dll_name);
    return true;
  });
}

void SimSpooler::RefreshMonitorPorts() {
  const win32::Error kept_error = Core::LastError();
  Json s;
  if (!core_.Read(&s)) return Core::SetLastError(kept_error);
  const fs::path folder = core_.store().Folder();
  int bits = 0;
  std::map<std::string, Json> changed;  // by monitor name: the ports it lists now
  for (const auto& m : s["spooler"].value("monitors", Json::array())) {
    if (!m.contains("module") || m.value("language", false)) continue;
    std::string bits_error;
    if (bits == 0) bits = NativeProcessBits(folder, &bits_error);
    std::uint32_t error = 0;
    const LoadedMonitor* loaded =
        InitializeMonitor(folder / m["module"].get<std::string>(), folder, bits == 0 ? 64 : bits, &error);
    if (loaded == nullptr) continue;  // the ports it listed before stay
    Json ports = Json::array();
    for (const auto& port : MonitorPorts(*loaded, &error)) ports.push_back(U8(port));
    if (error == 0 && m.value("ports", Json::array()) != ports) changed[m.value("name", std::string())] = ports;
  }
  if (!changed.empty()) {
    core_.Update([&](Json& state) {
      for (auto& m : state["spooler"]["monitors"]) {
        const auto it = changed.find(m.value("name", std::string()));
        if (it != changed.end()) m["ports"] = it->second;
      }
      return true;
    });
  }
  Core::SetLastError(kept_error);
}

bool SimSpooler::DeleteMonitor(WStringView server, WStringView environment, WStringView name) {
  return Call("DeleteMonitor", name, [&](Json& s) {
    if (!server.empty()) return Core::Fail(win32::kErrorInvalidParameter);
    if (!environment.empty() && !IsKnownEnvironment(environment)) return Core::Fail(win32::kErrorInvalidEnvironment);
    auto& sp = s["spooler"];
    Json* m = FindByName(sp["monitors"], name);
    if (!m) return Core::Fail(win32::kErrorUnknownPrintMonitor);
    const WString monitor_name = JsonText(*m, "name");
    for (const auto& port : AllPorts(s)) {
      if (!EqualsNoCase(port.monitor_name, monitor_name)) continue;
      for (const auto& p : sp["printers"]) {
        if (Upper(JsonText(p, "port")).find(Upper(port.port_name)) != WString::npos) {
          return Core::Fail(win32::kErrorPrintMonitorInUse);
        }
      }
    }
    Json kept = Json::array();
    for (const auto& p : sp["ports"]) {
      if (!EqualsNoCase(JsonText(p, "monitor"), monitor_name)) kept.push_back(p);
    }
    sp["ports"] = kept;
    EraseByName(sp["monitors"], name);
    RemoveRegistryTree(s, SplitPath(FromUtf8(kMonitorsKey) + u"\\" + monitor_name));
    return true;
  });
}

bool SimSpooler::EnumMonitors(WStringView server, std::uint32_t level, std::vector<MonitorInfo2>* monitors,
                              std::uint32_t buffer_size, std::uint32_t* needed, std::uint32_t* returned) {
  monitors->clear();
  if (needed) *needed = 0;
  if (returned) *returned = 0;
  if (level != 1 && level != 2) return Core::Fail(win32::kErrorInvalidLevel);
  std::vector<MonitorInfo2> all;
  const bool ok = Call("EnumMonitors", {}, [&](Json& s) {
    if (!server.empty()) return Core::Fail(win32::kErrorInvalidParameter);
    for (const auto& m : s["spooler"]["monitors"]) {
      all.push_back({JsonText(m, "name"), level == 2 ? core_.LocalEnvironment(s) : WString(),
                     level == 2 ? JsonText(m, "dll") : WString()});
    }
    return true;
  });
  if (!ok) return false;
  std::uint32_t total = 0;
  for (const auto& m : all) total += (level == 1 ? 1 : 3) * PointerSize() + Sz(m.name) + Sz(m.environment) + Sz(m.dll_name);
  if (needed) *needed = total;
  if (buffer_size < total) return Core::Fail(win32::kErrorInsufficientBuffer);
  *monitors = std::move(all);
  if (returned) *returned = static_cast<std::uint32_t>(monitors->size());
  return true;
}

bool SimSpooler::GetPrintProcessorDirectory(WStringView server, WStringView environment, WString* directory) {
  return Call("GetPrintProcessorDirectory", environment, [&](Json& s) {
    if (!server.empty()) return Core::Fail(win32::kErrorInvalidParameter);
    if (!environment.empty() && !IsKnownEnvironment(environment)) return Core::Fail(win32::kErrorInvalidEnvironment);
    *directory = ProcessorDirectory(s, environment);
    return true;
  });
}

bool SimSpooler::AddPrintProcessor(WStringView server, WStringView environment, WStringView dll_name,
                                   WStringView name) {
  return Call("AddPrintProcessor", name, [&](Json& s) {
    if (!server.empty()) return Core::Fail(win32::kErrorInvalidParameter);
    if (!s["system"].value("admin", true)) return Core::Fail(win32::kErrorAccessDenied);
    if (name.empty() || dll_name.empty()) return Core::Fail(win32::kErrorInvalidParameter);
    if (!environment.empty() && !IsKnownEnvironment(environment)) return Core::Fail(win32::kErrorInvalidEnvironment);
    const WString env = Env(s, environment);
    auto& sp = s["spooler"];
    if (FindForEnvironment(sp["processors"], name, env)) return Core::Fail(win32::kErrorPrintProcessorAlreadyInstalled);
    if (!HostFileExists(s, ProcessorDirectory(s, env) + u"\\" + WString(dll_name))) {
      return Core::Fail(win32::kErrorModNotFound);
    }
    sp["processors"].push_back({{"name", U8(name)}, {"environment", U8(env)}, {"dll", U8(dll_name)}});
    Json& key = RegistryNode(
        s, SplitPath(FromUtf8(kEnvironmentsKey) + u"\\" + env + u"\\Print Processors\\" + WString(name)));
    SetRegString(key, "Driver", WString(dll_name));
    return true;
  });
}

bool SimSpooler::DeletePrintProcessor(WStringView server, WStringView environment, WStringView name) {
  return Call("DeletePrintProcessor", name, [&](Json& s) {
    if (!server.empty()) return Core::Fail(win32::kErrorInvalidParameter);
    if (!environment.empty() && !IsKnownEnvironment(environment)) return Core::Fail(win32::kErrorInvalidEnvironment);
    const WString env = Env(s, environment);
    auto& sp = s["spooler"];
    auto found = sp["processors"].end();
    for (auto it = sp["processors"].begin(); it != sp["processors"].end(); ++it) {
      if (EqualsNoCase(JsonText(*it, "name"), name) && EqualsNoCase(JsonText(*it, "environment"), env)) found = it;
    }
    if (found == sp["processors"].end()) return Core::Fail(win32::kErrorUnknownPrintProcessor);
    if ((*found).value("builtin", false)) return Core::Fail(win32::kErrorCanNotComplete);
    for (const auto& p : sp["printers"]) {
      if (EqualsNoCase(JsonText(p, "print_processor"), name)) return Core::Fail(win32::kErrorCanNotComplete);
    }
    const WString real_name = JsonText(*found, "name");
    sp["processors"].erase(found);
    RemoveRegistryTree(s, SplitPath(FromUtf8(kEnvironmentsKey) + u"\\" + env + u"\\Print Processors\\" + real_name));
    return true;
  });
}

bool SimSpooler::EnumPrintProcessors(WStringView server, WStringView environment,
                                     std::vector<PrintProcessorInfo1>* processors, std::uint32_t buffer_size,
                                     std::uint32_t* needed, std::uint32_t* returned) {
  processors->clear();
  if (needed) *needed = 0;
  if (returned) *returned = 0;
  std::vector<PrintProcessorInfo1> all;
  const bool ok = Call("EnumPrintProcessors", environment, [&](Json& s) {
    if (!server.empty()) return Core::Fail(win32::kErrorInvalidParameter);
    if (!environment.empty() && !IsKnownEnvironment(environment)) return Core::Fail(win32::kErrorInvalidEnvironment);
    const WString env = Env(s, environment);
    for (const auto& p : s["spooler"]["processors"]) {
      if (EqualsNoCase(JsonText(p, "environment"), env)) all.push_back({JsonText(p, "name")});
    }
    return true;
  });
  if (!ok) return false;
  std::uint32_t total = 0;
  for (const auto& p : all) total += PointerSize() + Sz(p.name);
  if (needed) *needed = total;
  if (buffer_size < total) return Core::Fail(win32::kErrorInsufficientBuffer);
  *processors = std::move(all);
  if (returned) *returned = static_cast<std::uint32_t>(processors->size());
  return true;
}

}  // namespace kit::sim::spool
