// Ports of the virtual machine's spooler: the explicit ones, those a
// monitor lists, and the port monitor's XcvData calls.

#include "platform/port_data.h"
#include "platform/sim/machine.h"
#include "platform/sim/monitor_jobs.h"
#include "platform/sim/monitor_modules.h"
#include "platform/sim/spooler_internal.h"

namespace kit::sim::spool {

// All ports: the explicit ones and those the loaded monitors list.
std::vector<PortInfo2> SimSpooler::AllPorts(Json& s) {
  std::vector<PortInfo2> ports;
  for (const auto& p : s["spooler"]["ports"]) {
    ports.push_back({JsonText(p, "name"), JsonText(p, "monitor"), JsonText(p, "description"), p.value("type", 3u)});
  }
  for (const auto& m : s["spooler"]["monitors"]) {
    std::vector<WString> names;
    for (const auto& listed : m.value("ports", Json::array())) names.push_back(FromUtf8(listed.get<std::string>()));
    for (const auto& name : names) {
      bool dup = false;
      for (const auto& p : ports) dup = dup || EqualsNoCase(p.port_name, name);
      if (!dup) ports.push_back({name, JsonText(m, "name"), JsonText(m, "name"), 3u});
    }
  }
  return ports;
}

const PortInfo2* SimSpooler::FindPort(const std::vector<PortInfo2>& ports, WStringView name) {
  for (const auto& p : ports) {
    if (EqualsNoCase(p.port_name, name)) return &p;
  }
  return nullptr;
}

bool SimSpooler::EnumPorts(WStringView server, std::uint32_t level, std::vector<PortInfo2>* ports,
                           std::uint32_t buffer_size, std::uint32_t* needed, std::uint32_t* returned) {
  ports->clear();
  if (needed) *needed = 0;
  if (returned) *returned = 0;
  if (level != 1 && level != 2) return Core::Fail(win32::kErrorInvalidLevel);
  RefreshMonitorPorts();
  std::vector<PortInfo2> all;
  const bool ok = Call("EnumPorts", {}, [&](Json& s) {
    if (!server.empty()) return Core::Fail(win32::kErrorInvalidParameter);
    all = AllPorts(s);
    return true;
  });
  if (!ok) return false;
  std::uint32_t total = 0;
  for (auto& p : all) {
    if (level == 1) {
      p.monitor_name.clear();
      p.description.clear();
      p.port_type = 0;
      total += PointerSize() + Sz(p.port_name);
    } else {
      total += (PointerSize() == 8 ? 32 : 20) + Sz(p.port_name) + Sz(p.monitor_name) + Sz(p.description);
    }
  }
  if (needed) *needed = total;
  if (buffer_size < total) return Core::Fail(win32::kErrorInsufficientBuffer);
  *ports = std::move(all);
  if (returned) *returned = static_cast<std::uint32_t>(ports->size());
  return true;
}

bool SimSpooler::DeletePort(WStringView server, WStringView port_name) {
  return Call("DeletePort", port_name, [&](Json& s) {
    if (!server.empty()) return Core::Fail(win32::kErrorInvalidParameter);
    auto& sp = s["spooler"];
    if (!FindByName(sp["ports"], port_name)) return Core::Fail(win32::kErrorUnknownPort);
    for (const auto& p : sp["printers"]) {
      if (EqualsNoCase(JsonText(p, "port"), port_name)) return Core::Fail(win32::kErrorAccessDenied);
    }
    EraseByName(sp["ports"], port_name);
    return true;
  });
}

bool SimPrinter::XcvData(WStringView data_name, const Bytes& input, std::uint32_t output_size, Bytes* output,
                         std::uint32_t* output_needed, std::uint32_t* status) {
  if (output_needed) *output_needed = 0;
  if (output) output->clear();
  if (info_.kind != HandleInfo::Kind::kXcvMonitor && info_.kind != HandleInfo::Kind::kXcvPort) {
    return Core::Fail(win32::kErrorInvalidHandle);
  }
  // A loaded monitor answers its own XcvData, outside the hold on the state
  // (its code reads and writes the machine's registry).
  std::string module;
  const bool ok = spooler_.HandleCall(info_, closed_, "XcvData", [&](Json& s) {
    auto& sp = s["spooler"];
    if (info_.kind == HandleInfo::Kind::kXcvPort) {
      module = MonitorModuleOfPort(s, info_.name);
    } else if (const Json* m = FindByName(sp["monitors"], info_.name); m != nullptr && m->contains("module")) {
      module = (*m)["module"].get<std::string>();
    }
    if (!module.empty()) return true;
    if (info_.kind == HandleInfo::Kind::kXcvMonitor && EqualsNoCase(info_.name, u"Standard TCP/IP Port") &&
        data_name == u"AddPort") {
      const auto record = DecodePortData1(input);
      if (!record || record->port_name.empty() || record->host_address.empty() || record->port_number == 0 ||
          record->port_number > 65535) {
        *status = win32::kErrorInvalidParameter;
        return true;
      }
      if (spooler_.FindPort(spooler_.AllPorts(s), record->port_name)) {
        *status = win32::kErrorAlreadyExists;
        return true;
      }
      sp["ports"].push_back({{"name", U8(record->port_name)},
                             {"monitor", "Standard TCP/IP Port"},
                             {"description", "Standard TCP/IP Port"},
                             {"type", 3},
                             {"host", U8(record->host_address)},
                             {"port_number", record->port_number},
                             {"protocol", record->protocol}});
      *status = win32::kErrorSuccess;
      return true;
    }
    if (data_name == u"DeletePort") {
      WString name;
      for (std::size_t i = 0; i + 1 < input.size(); i += 2) {
        const char16_t c = static_cast<char16_t>(input[i] | (input[i + 1] << 8));
        if (c == 0) break;
        name.push_back(c);
      }
      *status = EraseByName(sp["ports"], name) ? win32::kErrorSuccess : win32::kErrorUnknownPort;
      return true;
    }
    *status = win32::kErrorInvalidParameter;
    return true;
  });
  if (!ok || module.empty()) return ok;
  const auto folder = spooler_.core().store().Folder();
  std::string bits_error;
  const int bits = NativeProcessBits(folder, &bits_error);
  std::uint32_t error = 0;
  const LoadedMonitor* monitor = InitializeMonitor(folder / module, folder, bits == 0 ? 64 : bits, &error);
  if (monitor == nullptr) return Core::Fail(error);
  XcvCall call;
  call.object = info_.kind == HandleInfo::Kind::kXcvPort ? info_.name : WString();
  call.access = info_.access;
  call.command = WString(data_name);
  call.input = &input;
  call.output_size = output_size;
  Bytes answer;
  std::uint32_t needed = 0, answer_status = 0;
  if (const auto refused = XcvThroughMonitor(*monitor, call, &answer, &needed, &answer_status)) {
    return Core::Fail(refused);
  }
  if (output_needed) *output_needed = needed;
  if (status) *status = answer_status;
  if (output) *output = std::move(answer);
  return true;
}

}  // namespace kit::sim::spool
