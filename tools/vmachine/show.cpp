// Commands that show a virtual machine's state, as text or JSON.
#include <filesystem>
#include <fstream>

#include "tools/vmachine/monitor_ports.h"
#include "tools/vmachine/tool_support.h"

namespace kit::vmachine {
namespace {

namespace fs = std::filesystem;

std::string S(const Json& object, const char* member) {
  if (!object.is_object() || !object.contains(member)) return {};
  const auto& v = object[member];
  return v.is_string() ? v.get<std::string>() : v.dump();
}

std::string Cat(std::initializer_list<std::string> parts) {
  std::string out;
  for (const auto& part : parts) out.append(part);
  return out;
}

void Heading(const char* title) { std::printf("%s:\n", title); }

// Registry value data as text by type.
std::string ValueText(const Json& value) {
  const auto type = value.value("t", 0u);
  const Bytes data = sim::FromHex(value.value("d", std::string()));
  if (type == kRegDword && data.size() == 4) {
    const std::uint32_t v = data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<std::uint32_t>(data[3]) << 24);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "REG_DWORD 0x%08x (%u)", v, v);
    return buffer;
  }
  if (type == kRegSz || type == kRegExpandSz || type == kRegMultiSz) {
    WString text;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
      const char16_t c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
      text.push_back(c == 0 ? u'|' : c);
    }
    while (!text.empty() && text.back() == u'|') text.pop_back();
    return std::string(type == kRegMultiSz ? "REG_MULTI_SZ \"" : "REG_SZ \"") + ToUtf8(text) + "\"";
  }
  return "type " + std::to_string(type) + " hex " + value.value("d", std::string());
}

void PrintKey(const Json& node, const std::string& path, int depth) {
  std::printf("%*s[%s]\n", depth * 2, "", path.c_str());
  if (node.contains("v")) {
    for (const auto& [name, value] : node["v"].items()) {
      std::printf("%*s%s = %s\n", depth * 2 + 2, "", name.empty() ? "(default)" : name.c_str(), ValueText(value).c_str());
    }
  }
  if (node.contains("k")) {
    for (const auto& [name, child] : node["k"].items()) PrintKey(child, path + "\\" + name, depth + 1);
  }
}

void HexDump(const Bytes& data) {
  for (std::size_t row = 0; row < data.size(); row += 16) {
    std::printf("  %08zx ", row);
    for (std::size_t i = row; i < row + 16; ++i) {
      if (i < data.size()) {
        std::printf(" %02x", data[i]);
      } else {
        std::printf("   ");
      }
    }
    std::printf("  ");
    for (std::size_t i = row; i < row + 16 && i < data.size(); ++i) {
      std::putchar(data[i] >= 32 && data[i] < 127 ? data[i] : '.');
    }
    std::putchar('\n');
  }
}

Bytes JobBytes(const std::string& folder, const Json& job) {
  std::ifstream in(fs::path(folder) / job.value("file", std::string()), std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void ShowSection(const std::string& folder, const Json& s, const std::string& what) {
  const auto& sp = s["spooler"];
  const bool all = what == "all";
  if (all || what == "system") {
    const auto& sys = s["system"];
    Heading("system");
    std::printf("  %s\n  version %s.%s.%s %s, architecture %s, language %s, code page %s, %s, Windows folder %s\n",
                S(sys, "description").c_str(), S(sys, "major").c_str(), S(sys, "minor").c_str(),
                S(sys, "build").c_str(), S(sys, "csd").c_str(), sys.value("arch", 0) == 9 ? "x64" : "x86",
                S(sys, "lang").c_str(), S(sys, "acp").c_str(),
                sys.value("admin", true) ? "administrator" : "standard user", S(sys, "windows_dir").c_str());
    std::printf("  clock %s ms, slept %s ms\n", S(s["clock"], "now_ms").c_str(), S(s["clock"], "slept_ms").c_str());
  }
  if (all || what == "printers") {
    Heading("printers");
    for (const auto& p : sp["printers"]) {
      std::uint32_t jobs = 0;
      for (const auto& j : sp["jobs"]) {
        if (j.value("printer", std::string()) == p.value("name", std::string()) && j.value("status", std::string()) != "printed") ++jobs;
      }
      const bool is_default = p.value("name", std::string()) == sp.value("default_printer", std::string());
      std::printf("  %s%s  port %s  driver %s  processor %s  attributes 0x%x  jobs %u\n", S(p, "name").c_str(),
                  is_default ? " (default)" : "", S(p, "port").c_str(), S(p, "driver").c_str(),
                  S(p, "print_processor").c_str(), p.value("attributes", 0u), jobs);
    }
  }
  if (all || what == "drivers") {
    Heading("drivers");
    for (const auto& d : sp["drivers"]) {
      std::printf("  %s  [%s, version %s]  monitor '%s'\n", S(d, "name").c_str(), S(d, "environment").c_str(),
                  S(d, "version").c_str(), S(d, "monitor").c_str());
      for (const auto& f : d.value("files", Json::array())) std::printf("    %s\n", f.get<std::string>().c_str());
    }
  }
  if (all || what == "monitors") {
    Heading("monitors");
    for (const auto& m : sp["monitors"]) {
      std::printf("  %s  (%s)%s\n", S(m, "name").c_str(), S(m, "dll").c_str(),
                  m.value("language", false) ? "  language monitor" : "");
    }
  }
  if (all || what == "processors") {
    Heading("print processors");
    for (const auto& p : sp["processors"]) {
      std::printf("  %s  [%s]  (%s)\n", S(p, "name").c_str(), S(p, "environment").c_str(), S(p, "dll").c_str());
    }
  }
  if (all || what == "ports") {
    Heading("ports");
    for (const auto& p : sp["ports"]) {
      std::printf("  %s  %s%s\n", S(p, "name").c_str(), S(p, "monitor").c_str(),
                  p.contains("host") ? Cat({"  ", S(p, "host"), ":", S(p, "port_number")}).c_str() : "");
    }
    ShowMonitorPorts(folder, s);
    for (const auto& [port, mapping] : sp["port_map"].items()) {
      std::printf("  mapped %s -> %s %s\n", port.c_str(), S(mapping, "kind").c_str(), S(mapping, "target").c_str());
    }
  }
  if (all || what == "forms") {
    Heading("forms");
    for (const auto& f : sp["forms"]) {
      std::printf("  %s  %d x %d  (%s)\n", S(f, "name").c_str(), f.value("width", 0), f.value("height", 0),
                  f.value("flags", 0u) == 1 ? "built-in" : "user");
    }
  }
  if (all || what == "devices") {
    Heading("devices");
    for (const auto& d : s["devices"]["list"]) {
      std::string ids;
      for (const auto& id : d.value("hardware_ids", Json::array())) ids.append(" ").append(id.get<std::string>());
      std::printf("  %s  class %s  driver '%s'  %s%s\n    ids:%s\n", S(d, "instance_id").c_str(), S(d, "class").c_str(),
                  S(d, "driver_inf").c_str(), d.value("plugged", true) ? "plugged" : "unplugged",
                  d.value("installed", true) ? "" : ", removed", ids.c_str());
      if (d.contains("usb")) {
        std::printf("    usb vid %04x pid %04x release %u%s, %zu write(s)\n", d["usb"].value("vid", 0u),
                    d["usb"].value("pid", 0u), d["usb"].value("release", 0u),
                    d["usb"].value("kvusb", false) ? ", reachable through KvUsbInt.dll" : "",
                    d["usb"].value("writes", Json::array()).size());
      }
    }
    for (const auto& e : s["devices"]["store"]) {
      std::printf("  driver store: %s (from %s)\n", S(e, "oem").c_str(), S(e, "original").c_str());
    }
  }
  if (all || what == "services") {
    Heading("services");
    for (const auto& [name, svc] : s["services"].items()) {
      static const char* kStates[] = {"?", "stopped", "start pending", "stop pending", "running"};
      const int state = svc.value("state", 4);
      std::printf("  %s  %s%s\n", name.c_str(), state >= 1 && state <= 4 ? kStates[state] : "?",
                  svc.contains("start_error") ? Cat({" (refuses to start: ", S(svc, "start_error"), ")"}).c_str() : "");
    }
  }
  if (all || what == "windows") {
    Heading("windows and mutexes");
    for (const auto& w : s["windows"]) std::printf("  window '%s'  pid %s\n", S(w, "title").c_str(), S(w, "pid").c_str());
    for (const auto& m : s["mutexes"]) std::printf("  mutex '%s'  pid %s\n", S(m, "name").c_str(), S(m, "pid").c_str());
  }
  if (all || what == "launches") {
    Heading("programs started");
    for (const auto& l : s["launches"]) {
      std::printf("  %s \"%s\" %s\n", S(l, "verb").c_str(), S(l, "file").c_str(), S(l, "parameters").c_str());
    }
  }
  if (all || what == "faults") {
    Heading("faults");
    for (const auto& f : s["faults"]["calls"]) {
      std::printf("  call %s fails with %s%s (%s)\n", S(f, "api").c_str(), S(f, "error").c_str(),
                  f.contains("subject") ? Cat({" for '", S(f, "subject"), "'"}).c_str() : "",
                  f.value("remaining", -1) < 0 ? "always" : Cat({S(f, "remaining"), " more time(s)"}).c_str());
    }
    for (const auto& f : s["faults"]["paths"]) std::printf("  path %s fails with %s\n", S(f, "path").c_str(), S(f, "error").c_str());
    for (const auto& f : s["faults"].value("short_writes", Json::array())) {
      std::printf("  WritePrinter%s takes %s byte(s) (after %s more write(s))\n",
                  f.contains("subject") ? Cat({" on '", S(f, "subject"), "'"}).c_str() : "",
                  f.value("taken", -1) < 0 ? "one fewer than asked" : S(f, "taken").c_str(),
                  std::to_string(f.value("skip", 0)).c_str());
    }
    for (const auto& f : s["faults"].value("short_reads", Json::array())) {
      std::printf("  a read of%s gives %s byte(s) (after %s more read(s))\n",
                  f.contains("subject") ? Cat({" '", S(f, "subject"), "'"}).c_str() : " any file",
                  f.value("taken", -1) < 0 ? "one fewer than the file holds" : S(f, "taken").c_str(),
                  std::to_string(f.value("skip", 0)).c_str());
    }
    if (s["faults"].contains(sim::kKillAfterMember)) {
      std::printf("  the process%s making the next %s faultable call(s) lives; the one after is killed%s\n",
                  s["faults"].contains(sim::kKillProcessMember)
                      ? Cat({" of '", S(s["faults"], sim::kKillProcessMember), "'"}).c_str()
                      : "",
                  S(s["faults"], sim::kKillAfterMember).c_str(),
                  s["faults"].value(sim::kKillAfterEffectMember, false) ? " once its change is saved" : "");
    }
    if (s["faults"].contains(sim::kCallLogMember)) {
      std::printf("  call log: %zu call(s)\n", s["faults"][sim::kCallLogMember].size());
      for (const auto& c : s["faults"][sim::kCallLogMember]) {
        std::printf("    %s%s  (%s)\n", S(c, "api").c_str(), S(c, "subject").empty() ? "" : Cat({" ", S(c, "subject")}).c_str(),
                    S(c, "process").c_str());
      }
    }
  }
  if (all || what == "jobs") {
    Heading("raw jobs");
    for (const auto& j : sp["jobs"]) {
      std::string pieces;
      for (const auto& p : j.value("pieces", Json::array())) pieces.append(pieces.empty() ? "" : ",").append(p.dump());
      std::printf("  #%s '%s' on %s (port %s): %s, pieces [%s]%s%s\n", S(j, "id").c_str(), S(j, "document").c_str(),
                  S(j, "printer").c_str(), S(j, "port").c_str(), S(j, "status").c_str(), pieces.c_str(),
                  j.contains("error") ? Cat({"  error: ", S(j, "error")}).c_str() : "",
                  j.contains("status_text") ? Cat({"  shows: ", S(j, "status_text")}).c_str() : "");
    }
  }
}

}  // namespace

int CmdShow(const Args& args, bool json) {
  if (args.empty()) return Usage("show DIR [section]");
  Json s;
  if (!ReadMachine(args[0], &s)) return kExitMachine;
  const std::string what = args.size() > 1 ? args[1] : "all";
  static const char* kSections[] = {"all", "system", "printers", "drivers", "monitors", "processors", "ports", "forms",
                                    "devices", "services", "windows", "launches", "faults", "jobs"};
  if (std::find(std::begin(kSections), std::end(kSections), what) == std::end(kSections)) {
    return Usage("show DIR [system|printers|drivers|monitors|processors|ports|forms|devices|services|windows|launches|faults|jobs|all]");
  }
  if (json) {
    if (what == "all") {
      std::puts(s.dump(1).c_str());
    } else if (what == "system" || what == "devices" || what == "services" || what == "windows" ||
               what == "launches" || what == "faults") {
      std::puts(s[what].dump(1).c_str());
    } else {
      std::puts(s["spooler"][what == "processors" ? "processors" : what].dump(1).c_str());
    }
    return kExitOk;
  }
  ShowSection(args[0], s, what);
  return kExitOk;
}

int CmdRegistry(const Args& args, bool json) {
  if (args.size() < 2) return Usage("registry DIR KEY");
  Json s;
  if (!ReadMachine(args[0], &s)) return kExitMachine;
  const std::string key = args[1];
  const auto slash = key.find('\\');
  std::string root = key.substr(0, slash);
  if (root == "HKEY_LOCAL_MACHINE") root = "HKLM";
  if (root == "HKEY_CURRENT_USER") root = "HKCU";
  if (!s["registry"].contains(root)) {
    std::fprintf(stderr, "vmachine: unknown root %s (HKLM, HKCU, HKCR, HKU)\n", root.c_str());
    return kExitUsage;
  }
  const Json* node = &s["registry"][root];
  std::string path = slash == std::string::npos ? "" : key.substr(slash + 1);
  std::size_t pos = 0;
  while (pos < path.size()) {
    auto next = path.find('\\', pos);
    if (next == std::string::npos) next = path.size();
    const std::string part = path.substr(pos, next - pos);
    pos = next + 1;
    if (part.empty()) continue;
    const Json* found = nullptr;
    if (node->contains("k")) {
      for (const auto& [name, child] : (*node)["k"].items()) {
        if (EqualsNoCase(FromUtf8(name), FromUtf8(part))) found = &child;
      }
    }
    if (!found) {
      std::fprintf(stderr, "vmachine: no key %s\n", key.c_str());
      return kExitFailed;
    }
    node = found;
  }
  if (json) {
    std::puts(node->dump(1).c_str());
  } else {
    PrintKey(*node, key, 0);
  }
  return kExitOk;
}

int CmdFiles(const Args& args, bool json) {
  if (args.size() < 2) return Usage("files DIR FOLDER");
  Json s;
  if (!ReadMachine(args[0], &s)) return kExitMachine;
  sim::Core core(args[0], sim::ProcessOptions{64, u"C:\\vmachine.exe", {}, {}});
  sim::ResolvedPath r;
  if (!core.Resolve(s, FromUtf8(args[1]), false, &r)) {
    std::fprintf(stderr, "vmachine: not a path of drive C: %s\n", args[1].c_str());
    return kExitUsage;
  }
  std::error_code ec;
  if (!fs::is_directory(r.host, ec)) {
    std::fprintf(stderr, "vmachine: no folder %s\n", args[1].c_str());
    return kExitFailed;
  }
  Json out = Json::array();
  const auto base = r.host;
  for (auto it = fs::recursive_directory_iterator(base, ec); it != fs::recursive_directory_iterator(); it.increment(ec)) {
    const auto rel = fs::relative(it->path(), base, ec).string();
    std::string windows = sim::U8(r.windows) + "\\" + rel;
    for (auto& c : windows) {
      if (c == '/') c = '\\';
    }
    const bool dir = it->is_directory(ec);
    const auto meta = s["files"].value(sim::UpperKey(FromUtf8(windows)), Json::object());
    if (json) {
      out.push_back({{"path", windows}, {"directory", dir}, {"size", dir ? 0 : it->file_size(ec)}, {"meta", meta}});
    } else {
      std::printf("  %s%s", windows.c_str(), dir ? "\\" : "");
      if (!dir) std::printf("  %ju bytes", static_cast<std::uintmax_t>(it->file_size(ec)));
      if (meta.contains("attributes") && (meta["attributes"].get<std::uint32_t>() & kFileAttributeReadOnly)) std::printf("  read-only");
      if (meta.contains("version")) std::printf("  version %s", S(meta["version"], "file_version").c_str());
      std::putchar('\n');
    }
  }
  if (json) std::puts(out.dump(1).c_str());
  return kExitOk;
}

int CmdJobs(const Args& args, bool json) {
  if (args.empty()) return Usage("jobs DIR [ID]");
  Json s;
  if (!ReadMachine(args[0], &s)) return kExitMachine;
  Json out = Json::array();
  for (const auto& j : s["spooler"]["jobs"]) {
    if (args.size() > 1 && S(j, "id") != args[1]) continue;
    const Bytes data = JobBytes(args[0], j);
    if (json) {
      Json e = j;
      e["bytes"] = sim::ToHex(data);
      out.push_back(e);
      continue;
    }
    std::string pieces;
    for (const auto& p : j.value("pieces", Json::array())) pieces.append(pieces.empty() ? "" : ",").append(p.dump());
    std::printf("job #%s '%s' on %s (port %s), %s, %zu bytes in pieces [%s]%s\n", S(j, "id").c_str(),
                S(j, "document").c_str(), S(j, "printer").c_str(), S(j, "port").c_str(), S(j, "status").c_str(),
                data.size(), pieces.c_str(), j.contains("error") ? Cat({"\n  error: ", S(j, "error")}).c_str() : "");
    HexDump(data);
  }
  if (json) std::puts(out.dump(1).c_str());
  if (args.size() > 1 && out.empty() && json) return kExitFailed;
  return kExitOk;
}

}  // namespace kit::vmachine
