// Commands that create or change a virtual machine.
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/sim/faultable_calls.h"
#include "platform/sim/machine.h"
#include "platform/sim/missing_exports.h"
#include "platform/sim/monitor_jobs.h"
#include "platform/sim/presets.h"
#include "tools/vmachine/tool_support.h"

namespace kit::vmachine {
namespace {

namespace fs = std::filesystem;

// Default class of a plugged USB device: a printer of the family goes to
// the USB class with the printer interface as compatible id.
constexpr char kUsbPrinterCompatibleId[] = "USB\\Class_07&SubClass_01&Prot_02";

std::string Hex4(std::uint64_t v) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "%04X", static_cast<unsigned>(v & 0xFFFF));
  return buffer;
}

// Option value after `name` ("--vid 7A5C"), or nullopt.
std::optional<std::string> Option(const Args& args, const std::string& name) {
  for (std::size_t i = 0; i + 1 < args.size(); ++i) {
    if (args[i] == name) return args[i + 1];
  }
  return std::nullopt;
}
std::vector<std::string> Options(const Args& args, const std::string& name) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i + 1 < args.size(); ++i) {
    if (args[i] == name) out.push_back(args[i + 1]);
  }
  return out;
}
bool Flag(const Args& args, const std::string& name) {
  for (const auto& a : args) {
    if (a == name) return true;
  }
  return false;
}

}  // namespace

void PrintUsage() {
  std::puts(
      "vmachine - virtual Windows machines for the printer driver kit\n"
      "\n"
      "  presets                                   list the machine presets\n"
      "  create DIR --preset ID [--standard-user]  create a machine\n"
      "  show DIR [system|printers|drivers|monitors|processors|ports|forms|devices|\n"
      "            services|windows|launches|faults|jobs|all]\n"
      "  registry DIR KEY                          values and subkeys below KEY (HKLM\\..., HKCU\\...)\n"
      "  files DIR FOLDER                          files below a folder of drive C:\n"
      "  jobs DIR [ID]                             raw jobs, one job with a hex dump\n"
      "  plug DIR --vid HEX --pid HEX [--release N] [--kvusb] [--enum-text TEXT]\n"
      "           [--hardware-id ID]... [--usbprint-id ID] [--serial S]  (a serial again: plugged back)\n"
      "  unplug DIR INSTANCE-ID\n"
      "  map-port DIR PORT file|hold|tcp:HOST:PORT|device:PATH\n"
      "  fault DIR call API CODE [--subject TEXT] [--times N] [--after N]\n"
      "  fault DIR short-write [--subject PRINTER] [--taken BYTES] [--times N] [--after N]\n"
      "  fault DIR short-read [--subject PATH] [--taken BYTES] [--times N] [--after N]\n"
      "  fault DIR path WINDOWS-PATH CODE          (32 in use, 5 access denied)\n"
      "  fault DIR service NAME --start-error CODE | --stop-pending QUERIES\n"
      "  fault DIR log                             (the call log starts, empty)\n"
      "  fault DIR kill [--after N] [--process TEXT] [--after-effect]  (the call after the next N kills its\n"
      "      process, before its change or, with --after-effect, once its change is saved)\n"
      "  fault DIR clear\n"
      "  program DIR WINDOWS-PATH-OR-NAME LINUX-EXECUTABLE\n"
      "  add-printer DIR NAME [--port PORT] [--driver NAME]  a printer on a stand-in driver (LPT1:)\n"
      "  put DIR HOST-FILE-OR-FOLDER WINDOWS-PATH  copy a file, or a folder with all below it, onto drive C:\n"
      "  file-version DIR WINDOWS-PATH VERSION     give a file a version resource\n"
      "  set DIR admin|lang|acp VALUE\n"
      "  snapshot DIR SNAPSHOT                     copy the machine (state, drive C:, jobs) to a new folder\n"
      "  diff DIR1 DIR2 [--ignore LIST]            what changed from one machine or snapshot to the other\n"
      "                                            (exit 4 when they differ; clock, job ids, process ids\n"
      "                                            and handles are left out; --ignore also leaves out the\n"
      "                                            lines a leftover list names, \"PATTERN | REASON\" a line)\n"
      "\n"
      "Add --json for machine-readable output. Exit codes: 0 done, 1 usage,\n"
      "2 no usable machine (missing, damaged or foreign state), 3 refused.\n"
      "\n"
      "Calls that 'fault DIR call' can fail:");
  // The names wrapped to lines of at most 78 characters.
  std::string line = " ";
  for (const auto name : sim::kFaultableCalls) {
    if (line.size() + 1 + name.size() > 78) {
      std::puts(line.c_str());
      line = " ";
    }
    line.append(" ").append(name);
  }
  std::puts(line.c_str());
}

int CmdPresets(const Args&, bool json) {
  Json out = Json::array();
  for (const auto& p : sim::ListPresets()) {
    if (json) {
      out.push_back({{"id", p.id}, {"description", p.description}});
    } else {
      std::printf("%-18s %s\n", p.id.c_str(), p.description.c_str());
    }
  }
  if (json) std::puts(out.dump(1).c_str());
  return kExitOk;
}

int CmdCreate(const Args& args, bool json) {
  const auto preset = Option(args, "--preset");
  if (args.empty() || !preset) return Usage("create DIR --preset ID [--standard-user]");
  std::string error;
  if (!sim::CreateMachine(args[0], *preset, !Flag(args, "--standard-user"), &error)) {
    std::fprintf(stderr, "vmachine: %s\n", error.c_str());
    return kExitFailed;
  }
  if (json) {
    std::puts(Json({{"created", args[0]}, {"preset", *preset}}).dump().c_str());
  } else {
    std::printf("created %s (%s)\n", args[0].c_str(), preset->c_str());
  }
  return kExitOk;
}

// Tries the jobs waiting for their printer again; says how many still wait.
void ReportWaiting(const std::string& folder) {
  sim::Store store(folder);
  const int waiting = sim::RunMonitorJobs(store);
  if (waiting > 0) std::fprintf(stderr, "vmachine: %d job(s) still waiting for their printer\n", waiting);
}

int CmdPlug(const Args& args, bool json) {
  const auto vid = Option(args, "--vid");
  const auto pid = Option(args, "--pid");
  if (args.empty() || !vid || !pid) return Usage("plug DIR --vid HEX --pid HEX [options]");
  const auto v = ParseNumber(*vid, 16), p = ParseNumber(*pid, 16);
  const auto release = ParseNumber(Option(args, "--release").value_or("0"));
  if (!v || !p || !release || *v > 0xFFFF || *p > 0xFFFF || *release > 0xFFFF) {
    return Usage("plug DIR --vid HEX --pid HEX (16-bit values) [--release N]");
  }
  std::string instance_id;
  const int rc = ChangeMachine(args[0], [&](Json& s) -> std::string {
    auto& dev = s["devices"];
    std::uint32_t inst = dev.value("next_inst", 2u);
    const std::string serial = Option(args, "--serial").value_or("6&" + std::to_string(0x2A1B00 + inst) + "&0&1");
    instance_id = "USB\\VID_" + Hex4(*v) + "&PID_" + Hex4(*p) + "\\" + serial;
    Json ids = Json::array();
    for (const auto& id : Options(args, "--hardware-id")) ids.push_back(id);
    if (ids.empty()) {
      ids.push_back("USB\\VID_" + Hex4(*v) + "&PID_" + Hex4(*p) + "&REV_" + Hex4(*release));
      ids.push_back("USB\\VID_" + Hex4(*v) + "&PID_" + Hex4(*p));
    }
    // The same device plugged back (its serial number again): its node
    // and its printer function come back as they were, what it printed
    // kept, as Windows finds a known device again.
    bool back = false;
    for (auto& d : dev["list"]) {
      const std::string id = d.value("instance_id", std::string());
      const std::string parent = d.value("parent", std::string());
      if (!EqualsNoCase(FromUtf8(id), FromUtf8(instance_id)) && !EqualsNoCase(FromUtf8(parent), FromUtf8(instance_id))) {
        continue;
      }
      if (d.value("plugged", true)) return "device " + instance_id + " is plugged already";
      d["plugged"] = true;
      back = true;
    }
    if (back) return {};
    Json usb = {{"vid", *v}, {"pid", *p}, {"release", *release}, {"kvusb", Flag(args, "--kvusb")},
                {"writes", Json::array()}};
    if (auto text = Option(args, "--enum-text")) usb["enum_text"] = *text;
    dev["list"].push_back({{"inst", inst},
                           {"instance_id", instance_id},
                           {"hardware_ids", ids},
                           {"compatible_ids", Json::array({kUsbPrinterCompatibleId, "USB\\Class_07"})},
                           {"class", "USB"},
                           {"class_guid", sim::U8(kGuidDevClassUsb.ToString())},
                           {"description", "USB Printing Support"},
                           {"plugged", true},
                           {"installed", true},
                           {"usb", usb}});
    ++inst;
    // The printer function of the device, as the USB printing support
    // driver reports it.
    if (auto id = Option(args, "--usbprint-id")) {
      dev["list"].push_back({{"inst", inst},
                             {"instance_id", "USBPRINT\\" + *id + "\\7&" + std::to_string(inst) + "&0&USB001"},
                             {"hardware_ids", Json::array({"USBPRINT\\" + *id})},
                             {"class", "Printer"},
                             {"class_guid", sim::U8(kGuidDevClassPrinter.ToString())},
                             {"description", *id},
                             {"parent", instance_id},
                             {"plugged", true},
                             {"installed", true}});
      ++inst;
    }
    dev["next_inst"] = inst;
    return {};
  });
  if (rc == kExitOk) {
    if (json) {
      std::puts(Json({{"instance_id", instance_id}}).dump().c_str());
    } else {
      std::printf("plugged %s\n", instance_id.c_str());
    }
  }
  // Jobs waiting on a monitor's port are tried again: their printer may be
  // the one plugged.
  if (rc == kExitOk) ReportWaiting(args[0]);
  return rc;
}

int CmdUnplug(const Args& args, bool json) {
  if (args.size() < 2) return Usage("unplug DIR INSTANCE-ID");
  int count = 0;
  const int rc = ChangeMachine(args[0], [&](Json& s) -> std::string {
    for (auto& d : s["devices"]["list"]) {
      const std::string id = d.value("instance_id", std::string());
      if (EqualsNoCase(FromUtf8(id), FromUtf8(args[1])) || EqualsNoCase(FromUtf8(d.value("parent", std::string())), FromUtf8(args[1]))) {
        d["plugged"] = false;
        ++count;
      }
    }
    return count ? std::string() : "no device " + args[1];
  });
  if (rc == kExitOk && !json) std::printf("unplugged %d device node(s)\n", count);
  if (rc == kExitOk && json) std::puts(Json({{"unplugged", count}}).dump().c_str());
  return rc;
}

int CmdMapPort(const Args& args, bool) {
  if (args.size() < 3) return Usage("map-port DIR PORT file|hold|tcp:HOST:PORT|device:PATH");
  const std::string& how = args[2];
  Json mapping;
  if (how == "file" || how == "hold") {
    mapping = {{"kind", how}};
  } else if (how.rfind("tcp:", 0) == 0 && how.size() > 4) {
    mapping = {{"kind", "tcp"}, {"target", how.substr(4)}};
  } else if (how.rfind("device:", 0) == 0 && how.size() > 7) {
    mapping = {{"kind", "device"}, {"target", how.substr(7)}};
  } else {
    return Usage("map-port DIR PORT file|hold|tcp:HOST:PORT|device:PATH");
  }
  const int status = ChangeMachine(args[0], [&](Json& s) -> std::string {
    s["spooler"]["port_map"][sim::UpperKey(FromUtf8(args[1]))] = mapping;
    return {};
  });
  if (status != 0) return status;
  // Jobs waiting on a monitor's port are tried again: the printer may be
  // back where the port now leads.
  ReportWaiting(args[0]);
  return 0;
}

int CmdFault(const Args& args, bool) {
  if (args.size() < 2) return Usage("fault DIR call|path|service|clear ...");
  const std::string& kind = args[1];
  if (kind == "clear") {
    return ChangeMachine(args[0], [&](Json& s) -> std::string {
      s["faults"] = {{"calls", Json::array()}, {"paths", Json::array()}};
      for (auto& [name, svc] : s["services"].items()) {
        (void)name;
        svc.erase("start_error");
        svc.erase("stop_pending_queries");
      }
      return {};
    });
  }
  if (kind == "call") {
    if (args.size() < 4) return Usage("fault DIR call API CODE [--subject TEXT] [--times N] [--after N]");
    const auto code = ParseNumber(args[3]);
    const auto times = ParseNumber(Option(args, "--times").value_or("0"));
    const auto after = ParseNumber(Option(args, "--after").value_or("0"));
    if (!code || *code > 0xFFFFFFFF || !times || !after || *after > 0x7FFFFFFF) {
      return Usage("fault DIR call API CODE (a 32-bit number)");
    }
    if (!sim::IsFaultableCall(args[2])) {
      std::fprintf(stderr, "vmachine: the machine cannot fail a call named '%s' (the names are in 'vmachine help')\n",
                   args[2].c_str());
      return kExitUsage;
    }
    return ChangeMachine(args[0], [&](Json& s) -> std::string {
      Json f = {{"api", args[2]}, {"error", *code}, {"remaining", *times == 0 ? -1 : static_cast<int>(*times)}};
      if (*after > 0) f["skip"] = static_cast<int>(*after);
      if (auto subject = Option(args, "--subject")) f["subject"] = *subject;
      s["faults"]["calls"].push_back(f);
      return {};
    });
  }
  if (kind == "path") {
    if (args.size() < 4) return Usage("fault DIR path WINDOWS-PATH CODE");
    const auto code = ParseNumber(args[3]);
    if (!code || *code > 0xFFFFFFFF) return Usage("fault DIR path WINDOWS-PATH CODE");
    return ChangeMachine(args[0], [&](Json& s) -> std::string {
      s["faults"]["paths"].push_back({{"path", args[2]}, {"error", *code}});
      return {};
    });
  }
  if (kind == "service") {
    if (args.size() < 3) return Usage("fault DIR service NAME --start-error CODE | --stop-pending QUERIES");
    const auto start_error = Option(args, "--start-error");
    const auto pending = Option(args, "--stop-pending");
    const auto value = ParseNumber(start_error ? *start_error : pending.value_or(""));
    if (!value || (!start_error && !pending)) return Usage("fault DIR service NAME --start-error CODE | --stop-pending QUERIES");
    return ChangeMachine(args[0], [&](Json& s) -> std::string {
      for (auto& [name, svc] : s["services"].items()) {
        if (!EqualsNoCase(FromUtf8(name), FromUtf8(args[2]))) continue;
        if (start_error) svc["start_error"] = *value;
        // -1 queries: the service never leaves "stop pending".
        if (pending) svc["stop_pending_queries"] = *value == 0 ? -1 : static_cast<int>(*value);
        return {};
      }
      return "no service " + args[2];
    });
  }
  if (kind == "log") {
    // The call log starts (again) empty.
    return ChangeMachine(args[0], [&](Json& s) -> std::string {
      s["faults"][sim::kCallLogMember] = Json::array();
      return {};
    });
  }
  if (kind == "kill") {
    const auto after = ParseNumber(Option(args, "--after").value_or("0"));
    if (!after || *after > 0x7FFFFFFF) return Usage("fault DIR kill [--after N] [--process TEXT] [--after-effect]");
    return ChangeMachine(args[0], [&](Json& s) -> std::string {
      s["faults"][sim::kKillAfterMember] = static_cast<int>(*after);
      if (auto process = Option(args, "--process")) s["faults"][sim::kKillProcessMember] = *process;
      if (Flag(args, "--after-effect")) s["faults"][sim::kKillAfterEffectMember] = true;
      return {};
    });
  }
  if (kind == "short-write") return CmdFaultShortTransfer(args, false);
  if (kind == "short-read") return CmdFaultShortTransfer(args, true);
  return Usage("fault DIR call|path|service|short-write|short-read|clear ...");
}

int CmdProgram(const Args& args, bool) {
  if (args.size() < 3) return Usage("program DIR WINDOWS-PATH-OR-NAME LINUX-EXECUTABLE");
  std::error_code ec;
  const std::string target = fs::absolute(args[2], ec).string();
  return ChangeMachine(args[0], [&](Json& s) -> std::string {
    s["programs"][args[1]] = target;
    return {};
  });
}

namespace {

// The machine as a native program sees it (no file-system redirection);
// null, with the reason printed, when the folder holds no usable machine.
std::unique_ptr<sim::Machine> OpenAsNativeProgram(const std::string& folder) {
  std::string error;
  sim::ProcessOptions process;
  process.bits = 64;
  auto machine = sim::Machine::Open(folder, process, &error);
  if (!machine) std::fprintf(stderr, "vmachine: %s\n", error.c_str());
  return machine;
}

}  // namespace

namespace {

// Creates the folders along `path` (a folder of drive C:, "C:\\a\\b"), the
// last one too; those that exist stay.
void CreateFolders(sim::Machine& machine, const WString& path) {
  auto& files = machine.platform().files;
  for (std::size_t pos = path.find(u'\\', 3); pos != WString::npos; pos = path.find(u'\\', pos + 1)) {
    files.CreateDirectory(path.substr(0, pos));
  }
  files.CreateDirectory(path);
}

// Writes one file of drive C:, creating the folders along its path.
bool PutFile(sim::Machine& machine, const Bytes& content, const WString& path) {
  if (const auto slash = path.rfind(u'\\'); slash != WString::npos && slash > 2) {
    CreateFolders(machine, path.substr(0, slash));
  }
  auto& files = machine.platform().files;
  if (!files.WriteFile(path, content, WriteMode::kCreateAlways)) {
    std::fprintf(stderr, "vmachine: cannot write %s (error %u)\n", sim::U8(path).c_str(),
                 machine.platform().system.GetLastError());
    return false;
  }
  return true;
}

std::optional<Bytes> ReadHostFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "vmachine: cannot read %s\n", path.c_str());
    return std::nullopt;
  }
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace

int CmdPut(const Args& args, bool) {
  if (args.size() < 3) return Usage("put DIR HOST-FILE-OR-FOLDER WINDOWS-PATH");
  const fs::path source = args[1];
  std::error_code ec;
  // A folder goes over whole, below WINDOWS-PATH, its empty folders too;
  // every file is read before the machine is touched.
  std::vector<std::pair<WString, Bytes>> files;
  std::vector<WString> folders;
  WString target = FromUtf8(args[2]);
  while (target.size() > 3 && target.back() == u'\\') target.pop_back();
  if (fs::is_directory(source, ec)) {
    folders.push_back(target);
    for (auto it = fs::recursive_directory_iterator(source, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
      std::string relative = fs::relative(it->path(), source).generic_string();
      std::replace(relative.begin(), relative.end(), '/', '\\');
      const WString path = target + u"\\" + FromUtf8(relative);
      if (it->is_directory()) {
        folders.push_back(path);
      } else {
        auto content = ReadHostFile(it->path());
        if (!content) return kExitFailed;
        files.emplace_back(path, std::move(*content));
      }
    }
    if (ec) {
      std::fprintf(stderr, "vmachine: cannot read %s (%s)\n", args[1].c_str(), ec.message().c_str());
      return kExitFailed;
    }
  } else {
    auto content = ReadHostFile(source);
    if (!content) return kExitFailed;
    files.emplace_back(target, std::move(*content));
  }
  auto machine = OpenAsNativeProgram(args[0]);
  if (!machine) return kExitMachine;
  for (const auto& folder : folders) CreateFolders(*machine, folder);
  for (const auto& [path, content] : files) {
    if (!PutFile(*machine, content, path)) return kExitFailed;
  }
  return kExitOk;
}

int CmdFileVersion(const Args& args, bool) {
  if (args.size() < 3) return Usage("file-version DIR WINDOWS-PATH VERSION");
  return ChangeMachine(args[0], [&](Json& s) -> std::string {
    const std::string key = sim::UpperKey(FromUtf8(args[1]));
    s["files"][key]["version"] = {{"file_version", args[2]},
                                  {"translations", Json::array({Json::array({0x0409, 0x04B0})})},
                                  {"strings", {{"040904b0", {{"FileVersion", args[2]}}}}}};
    return {};
  });
}

int CmdSet(const Args& args, bool) {
  if (args.size() < 3) return Usage("set DIR admin|lang|acp|missing-proc VALUE");
  return ChangeMachine(args[0], [&](Json& s) -> std::string {
    if (args[1] == "missing-proc") return sim::MarkMissing(s, args[2]);
    if (args[1] == "admin") {
      s["system"]["admin"] = args[2] == "true" || args[2] == "1" || args[2] == "yes";
      return {};
    }
    const auto value = ParseNumber(args[2]);
    if (!value || *value > 0xFFFF) return "value must be a 16-bit number";
    if (args[1] == "lang") {
      s["system"]["lang"] = *value;
      s["system"]["user_lang"] = *value;
      return {};
    }
    if (args[1] == "acp") {
      s["system"]["acp"] = *value;
      return {};
    }
    return "unknown setting " + args[1];
  });
}

}  // namespace kit::vmachine
