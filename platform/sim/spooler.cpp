// Print spooler of the virtual machine: drivers, monitors, processors,
// ports, printers, forms and raw jobs, kept in the state file. Calls fail
// with RPC_S_SERVER_UNAVAILABLE while the "Spooler" service is not running,
// and handles opened before a spooler restart are invalid afterwards, as on
// Windows.
#include <fstream>
#include <map>

#include "platform/port_data.h"
#include "platform/sim/channel_faults.h"
#include "platform/sim/core.h"
#include "platform/sim/loaded_modules.h"
#include "platform/sim/delivery.h"

namespace kit::sim {
namespace {

namespace fs = std::filesystem;

constexpr char kMonitorsKey[] = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors";
constexpr char kEnvironmentsKey[] = "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments";
constexpr std::uint32_t kPrinterStatusPendingDeletion = 0x4;
constexpr std::uint32_t kMaxPrinterNameChars = 220;

// Byte size of a string in an enumeration buffer: NULL pointers take none.
std::uint32_t Sz(const WString& s) { return s.empty() ? 0 : static_cast<std::uint32_t>((s.size() + 1) * 2); }

WString Upper(const WString& s) { return ToUpperAscii(s); }

Json* FindByName(Json& list, WStringView name, const char* member = "name") {
  for (auto& e : list) {
    if (EqualsNoCase(JsonText(e, member), name)) return &e;
  }
  return nullptr;
}

bool EraseByName(Json& list, WStringView name, const char* member = "name") {
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (EqualsNoCase(JsonText(*it, member), name)) {
      list.erase(it);
      return true;
    }
  }
  return false;
}

bool IsKnownEnvironment(WStringView env) {
  return EqualsNoCase(env, kEnvironmentX64) || EqualsNoCase(env, kEnvironmentNtX86) ||
         EqualsNoCase(env, kEnvironmentWin40) || EqualsNoCase(env, kEnvironmentIa64);
}

// A registry node below HKLM (64-bit view), created on demand.
Json& RegistryNode(Json& s, const std::vector<WString>& path) {
  Json* node = &s["registry"]["HKLM"];
  for (const auto& part : path) {
    Json* next = nullptr;
    if (node->contains("k")) {
      for (auto& [k, child] : (*node)["k"].items()) {
        if (EqualsNoCase(FromUtf8(k), part)) next = &child;
      }
    }
    if (!next) {
      (*node)["k"][ToUtf8(part)] = Json::object();
      next = &(*node)["k"][ToUtf8(part)];
    }
    node = next;
  }
  return *node;
}

std::vector<WString> SplitPath(const WString& text) {
  std::vector<WString> out;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    auto next = text.find(u'\\', pos);
    if (next == WString::npos) next = text.size();
    if (next > pos) out.push_back(text.substr(pos, next - pos));
    pos = next + 1;
  }
  return out;
}

void SetRegString(Json& node, const char* name, const WString& value) {
  Bytes data;
  for (char16_t c : value) {
    data.push_back(static_cast<std::uint8_t>(c & 0xFF));
    data.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  data.push_back(0);
  data.push_back(0);
  node["v"][name] = {{"t", kRegSz}, {"d", ToHex(data)}};
}

// Removes a key and everything below it (the spooler's own clean-up).
void RemoveRegistryTree(Json& s, const std::vector<WString>& path) {
  if (path.empty()) return;
  std::vector<WString> parent_path(path.begin(), path.end() - 1);
  Json& parent = RegistryNode(s, parent_path);
  if (!parent.contains("k")) return;
  for (auto it = parent["k"].begin(); it != parent["k"].end(); ++it) {
    if (EqualsNoCase(FromUtf8(it.key()), path.back())) {
      parent["k"].erase(it);
      return;
    }
  }
}

// Value names of an HKLM key (the ports a registry-listed monitor serves).
std::vector<WString> RegistryValueNames(Json& s, const WString& key) {
  std::vector<WString> names;
  Json* node = &s["registry"]["HKLM"];
  for (const auto& part : SplitPath(key)) {
    Json* next = nullptr;
    if (node->contains("k")) {
      for (auto& [k, child] : (*node)["k"].items()) {
        if (EqualsNoCase(FromUtf8(k), part)) next = &child;
      }
    }
    if (!next) return names;
    node = next;
  }
  if (node->contains("v")) {
    for (auto& [k, v] : (*node)["v"].items()) {
      (void)v;
      if (!k.empty()) names.push_back(FromUtf8(k));
    }
  }
  return names;
}

struct HandleInfo {
  enum class Kind { kServer, kPrinter, kXcvMonitor, kXcvPort } kind = Kind::kPrinter;
  WString name;
  std::uint32_t access = 0;
  std::uint64_t epoch = 0;
};

class SimSpooler;

class SimPrinter final : public Printer {
 public:
  // `borrowed` is the owner's handle value for a non-owning handle, 0 for
  // a handle this object owns.
  SimPrinter(SimSpooler& spooler, HandleInfo info, std::uintptr_t borrowed);
  ~SimPrinter() override;

  bool ClosePrinter() override;
  std::uintptr_t NativeHandle() const override { return id_; }
  bool GetPrinter(std::uint32_t level, PrinterInfo2* info, std::uint32_t buffer_size, std::uint32_t* needed) override;
  bool SetPrinter(const PrinterInfo2& info) override;
  bool DeletePrinter() override;
  std::uint32_t StartDocPrinter(const DocInfo1& doc) override;
  bool StartPagePrinter() override;
  bool WritePrinter(const std::uint8_t* data, std::uint32_t size, std::uint32_t* written) override;
  bool EndPagePrinter() override;
  bool EndDocPrinter() override;
  bool EnumForms(std::vector<FormInfo1>* forms, std::uint32_t buffer_size, std::uint32_t* needed,
                 std::uint32_t* returned) override;
  bool AddForm(const FormInfo1& form) override;
  bool SetForm(WStringView name, const FormInfo1& form) override;
  bool DeleteForm(WStringView name) override;
  bool XcvData(WStringView data_name, const Bytes& input, std::uint32_t output_size, Bytes* output,
               std::uint32_t* output_needed, std::uint32_t* status) override;

 private:
  SimSpooler& spooler_;
  HandleInfo info_;
  bool owned_;
  bool closed_ = false;
  std::uintptr_t id_;
  std::uint32_t current_job_ = 0;
  bool in_page_ = false;
};

class SimSpooler final : public Spooler {
 public:
  explicit SimSpooler(Core& core) : core_(core) {}

  Core& core() { return core_; }
  std::uint32_t PointerSize() const { return core_.process().bits == 64 ? 8 : 4; }

  // Runs a spooler call: the service must run; `call` returns the result.
  template <typename F>
  bool Call(const char* api, WStringView subject, F&& call) {
    return core_.Update([&](Json& s) {
      if (s["services"]["Spooler"].value("state", kServiceRunning) != kServiceRunning) {
        return Core::Fail(win32::kRpcServerUnavailable);
      }
      if (auto f = Core::TakeFault(s, api, subject)) return Core::Fail(*f);
      return call(s);
    });
  }
  // Same, for a handle: invalid after a spooler restart or once closed.
  template <typename F>
  bool HandleCall(const HandleInfo& info, bool closed, const char* api, F&& call) {
    if (closed) return Core::Fail(win32::kErrorInvalidHandle);
    return Call(api, info.name, [&](Json& s) {
      if (s["spooler"].value("epoch", std::uint64_t{0}) != info.epoch) return Core::Fail(win32::kErrorInvalidHandle);
      return call(s);
    });
  }

  std::uintptr_t Register(const HandleInfo& info) {
    const std::uintptr_t id = next_handle_;
    next_handle_ += 8;
    handles_[id] = info;
    return id;
  }
  void Unregister(std::uintptr_t id) { handles_.erase(id); }

  // ---- Helpers on the state ----
  WString Env(const Json& s, WStringView env) const {
    return env.empty() ? core_.LocalEnvironment(s) : WString(env);
  }
  WString DriverDirectory(const Json& s, WStringView env) const {
    if (s["system"].value("platform_id", 2) == static_cast<int>(kVerPlatformWin32Windows)) {
      return Core::WindowsDirectory(s) + u"\\SYSTEM";
    }
    return Core::WindowsDirectory(s) + u"\\system32\\spool\\drivers\\" + EnvironmentFolder(Env(s, env));
  }
  WString ProcessorDirectory(const Json& s, WStringView env) const {
    if (s["system"].value("platform_id", 2) == static_cast<int>(kVerPlatformWin32Windows)) {
      return Core::WindowsDirectory(s) + u"\\SYSTEM";
    }
    return Core::WindowsDirectory(s) + u"\\system32\\spool\\prtprocs\\" + EnvironmentFolder(Env(s, env));
  }
  // The native system folder (monitor DLLs live there).
  WString NativeSystemDirectory(const Json& s) const {
    const bool nine_x = s["system"].value("platform_id", 2) == static_cast<int>(kVerPlatformWin32Windows);
    return Core::WindowsDirectory(s) + (nine_x ? u"\\SYSTEM" : u"\\system32");
  }

  bool HostFileExists(const Json& s, const WString& windows_path) {
    ResolvedPath r;
    if (!core_.Resolve(s, windows_path, /*redirect=*/false, &r)) return false;
    std::error_code ec;
    return fs::is_regular_file(r.host, ec);
  }

  // All ports: the explicit ones and those of registry-listed monitors.
  std::vector<PortInfo2> AllPorts(Json& s) {
    std::vector<PortInfo2> ports;
    for (const auto& p : s["spooler"]["ports"]) {
      ports.push_back({JsonText(p, "name"), JsonText(p, "monitor"), JsonText(p, "description"), p.value("type", 3u)});
    }
    for (const auto& m : s["spooler"]["monitors"]) {
      std::vector<WString> names;
      for (const auto& fixed : m.value("ports", Json::array())) names.push_back(FromUtf8(fixed.get<std::string>()));
      const WString key = JsonText(m, "ports_from_key");
      if (!key.empty()) {
        for (auto& name : RegistryValueNames(s, key)) names.push_back(std::move(name));
      }
      for (const auto& name : names) {
        bool dup = false;
        for (const auto& p : ports) dup = dup || EqualsNoCase(p.port_name, name);
        if (!dup) ports.push_back({name, JsonText(m, "name"), JsonText(m, "name"), 3u});
      }
    }
    return ports;
  }
  const PortInfo2* FindPort(const std::vector<PortInfo2>& ports, WStringView name) {
    for (const auto& p : ports) {
      if (EqualsNoCase(p.port_name, name)) return &p;
    }
    return nullptr;
  }

  static std::uint32_t JobsOf(const Json& s, WStringView printer) {
    std::uint32_t n = 0;
    for (const auto& j : s["spooler"]["jobs"]) {
      if (EqualsNoCase(JsonText(j, "printer"), printer) && j.value("status", std::string()) != "printed") ++n;
    }
    return n;
  }

  PrinterInfo2 ToInfo(const Json& s, const Json& p) {
    PrinterInfo2 i;
    i.printer_name = JsonText(p, "name");
    i.share_name = JsonText(p, "share_name");
    i.port_name = JsonText(p, "port");
    i.driver_name = JsonText(p, "driver");
    i.comment = JsonText(p, "comment");
    i.location = JsonText(p, "location");
    i.dev_mode = FromHex(p.value("dev_mode", std::string()));
    i.sep_file = JsonText(p, "sep_file");
    i.print_processor = JsonText(p, "print_processor");
    i.datatype = JsonText(p, "datatype");
    i.parameters = JsonText(p, "parameters");
    i.attributes = p.value("attributes", 0u) | kPrinterAttributeLocal;
    i.priority = p.value("priority", 1u);
    i.status = p.value("status", 0u);
    i.jobs = JobsOf(s, i.printer_name);
    return i;
  }

  // Bytes a PRINTER_INFO_n takes in the caller's buffer.
  std::uint32_t PrinterSize(std::uint32_t level, const PrinterInfo2& i) const {
    const std::uint32_t ptr = PointerSize();
    switch (level) {
      case 1: return (ptr == 8 ? 32 : 16) + Sz(i.printer_name) * 2 + Sz(i.comment);  // description holds the name
      case 2:
        return 13 * ptr + 8 * 4 + Sz(i.server_name) + Sz(i.printer_name) + Sz(i.share_name) + Sz(i.port_name) +
               Sz(i.driver_name) + Sz(i.comment) + Sz(i.location) + static_cast<std::uint32_t>(i.dev_mode.size()) +
               Sz(i.sep_file) + Sz(i.print_processor) + Sz(i.datatype) + Sz(i.parameters);
      case 4: return (ptr == 8 ? 24 : 12) + Sz(i.printer_name) + Sz(i.server_name);
      case 5: return (ptr == 8 ? 32 : 20) + Sz(i.printer_name) + Sz(i.port_name);
    }
    return 0;
  }

  // ---- Spooler interface ----
  bool OpenPrinter(WStringView name, const PrinterDefaults& defaults, PrinterHandle* printer) override {
    HandleInfo info;
    info.access = defaults.desired_access;
    static constexpr WStringView kXcvMonitor = u",XcvMonitor ";
    static constexpr WStringView kXcvPort = u",XcvPort ";
    const bool ok = Call("OpenPrinter", name, [&](Json& s) {
      info.epoch = s["spooler"].value("epoch", std::uint64_t{0});
      const bool admin = s["system"].value("admin", true);
      if (name.empty()) {
        info.kind = HandleInfo::Kind::kServer;
        if ((defaults.desired_access & kServerAccessAdminister) && !admin) return Core::Fail(win32::kErrorAccessDenied);
        return true;
      }
      if (name.substr(0, std::min(name.size(), kXcvMonitor.size())) == kXcvMonitor) {
        info.kind = HandleInfo::Kind::kXcvMonitor;
        info.name = WString(name.substr(kXcvMonitor.size()));
        if (!FindByName(s["spooler"]["monitors"], info.name)) return Core::Fail(win32::kErrorInvalidPrinterName);
        if (!admin) return Core::Fail(win32::kErrorAccessDenied);
        return true;
      }
      if (name.substr(0, std::min(name.size(), kXcvPort.size())) == kXcvPort) {
        info.kind = HandleInfo::Kind::kXcvPort;
        info.name = WString(name.substr(kXcvPort.size()));
        if (!FindPort(AllPorts(s), info.name)) return Core::Fail(win32::kErrorInvalidPrinterName);
        return true;
      }
      Json* p = FindByName(s["spooler"]["printers"], name);
      if (!p) return Core::Fail(win32::kErrorInvalidPrinterName);
      info.kind = HandleInfo::Kind::kPrinter;
      info.name = JsonText(*p, "name");
      if ((defaults.desired_access & kPrinterAccessAdminister) && !admin) return Core::Fail(win32::kErrorAccessDenied);
      return true;
    });
    if (!ok) return false;
    *printer = std::make_unique<SimPrinter>(*this, info, 0);
    return true;
  }

  PrinterHandle BorrowPrinter(std::uintptr_t native_handle) override {
    const auto it = handles_.find(native_handle);
    if (it == handles_.end()) {
      Core::SetLastError(win32::kErrorInvalidHandle);
      return nullptr;
    }
    return std::make_unique<SimPrinter>(*this, it->second, native_handle);
  }

  bool AddPrinter(WStringView server, const PrinterInfo2& info, PrinterHandle* printer) override {
    HandleInfo handle;
    const bool ok = Call("AddPrinter", info.printer_name, [&](Json& s) {
      if (!server.empty()) return Core::Fail(win32::kErrorInvalidParameter);
      if (!s["system"].value("admin", true)) return Core::Fail(win32::kErrorAccessDenied);
      const WString& name = info.printer_name;
      if (name.empty() || name.size() > kMaxPrinterNameChars || name.find_first_of(u",\\!") != WString::npos) {
        return Core::Fail(win32::kErrorInvalidPrinterName);
      }
      auto& sp = s["spooler"];
      if (FindByName(sp["printers"], name)) return Core::Fail(win32::kErrorPrinterAlreadyExists);
      const WString env = core_.LocalEnvironment(s);
      bool driver_found = false;
      for (const auto& d : sp["drivers"]) {
        driver_found = driver_found ||
                       (EqualsNoCase(JsonText(d, "name"), info.driver_name) && EqualsNoCase(JsonText(d, "environment"), env));
      }
      if (!driver_found) return Core::Fail(win32::kErrorUnknownPrinterDriver);
      // A printer may list several ports separated by commas.
      WString ports = info.port_name;
      if (ports.empty()) return Core::Fail(win32::kErrorUnknownPort);
      const auto all = AllPorts(s);
      std::size_t pos = 0;
      while (pos <= ports.size()) {
        auto next = ports.find(u',', pos);
        if (next == WString::npos) next = ports.size();
        if (next > pos && !FindPort(all, ports.substr(pos, next - pos))) return Core::Fail(win32::kErrorUnknownPort);
        pos = next + 1;
      }
      WString processor = info.print_processor.empty() ? WString(u"WinPrint") : info.print_processor;
      bool processor_found = false;
      for (const auto& p : sp["processors"]) {
        processor_found = processor_found ||
                          (EqualsNoCase(JsonText(p, "name"), processor) && EqualsNoCase(JsonText(p, "environment"), env));
      }
      if (!processor_found) return Core::Fail(win32::kErrorUnknownPrintProcessor);
      Json p = {{"name", U8(name)},
                {"port", U8(info.port_name)},
                {"driver", U8(info.driver_name)},
                {"print_processor", U8(processor)},
                {"datatype", U8(info.datatype.empty() ? WString(u"RAW") : info.datatype)},
                {"comment", U8(info.comment)},
                {"location", U8(info.location)},
                {"share_name", U8(info.share_name)},
                {"sep_file", U8(info.sep_file)},
                {"parameters", U8(info.parameters)},
                {"dev_mode", ToHex(info.dev_mode)},
                {"attributes", info.attributes & ~kPrinterAttributeDefault},
                {"priority", info.priority == 0 ? 1u : info.priority},
                {"status", 0u}};
      sp["printers"].push_back(p);
      // Windows makes the first printer the default one.
      if (JsonText(sp, "default_printer").empty()) sp["default_printer"] = U8(name);
      handle.kind = HandleInfo::Kind::kPrinter;
      handle.name = name;
      handle.access = kPrinterAllAccess;
      handle.epoch = sp.value("epoch", std::uint64_t{0});
      return true;
    });
    if (!ok) return false;
    if (printer) *printer = std::make_unique<SimPrinter>(*this, handle, 0);
    return true;
  }

  bool EnumPrinters(std::uint32_t flags, WStringView, std::uint32_t level, std::vector<PrinterInfo2>* printers,
                    std::uint32_t buffer_size, std::uint32_t* needed, std::uint32_t* returned) override {
    printers->clear();
    if (needed) *needed = 0;
    if (returned) *returned = 0;
    if (level != 1 && level != 2 && level != 4 && level != 5) return Core::Fail(win32::kErrorInvalidLevel);
    std::vector<PrinterInfo2> all;
    const bool ok = Call("EnumPrinters", {}, [&](Json& s) {
      if (!(flags & kPrinterEnumLocal)) return true;
      for (const auto& p : s["spooler"]["printers"]) all.push_back(ToInfo(s, p));
      return true;
    });
    if (!ok) return false;
    std::uint32_t total = 0;
    for (const auto& p : all) total += PrinterSize(level, p);
    if (needed) *needed = total;
    if (buffer_size < total) return Core::Fail(win32::kErrorInsufficientBuffer);
    *printers = std::move(all);
    if (returned) *returned = static_cast<std::uint32_t>(printers->size());
    return true;
  }

  bool GetDefaultPrinter(WString* name) override {
    return Call("GetDefaultPrinter", {}, [&](Json& s) {
      const WString d = JsonText(s["spooler"], "default_printer");
      if (d.empty()) return Core::Fail(win32::kErrorFileNotFound);
      *name = d;
      return true;
    });
  }

  bool SetDefaultPrinter(WStringView name) override {
    return Call("SetDefaultPrinter", name, [&](Json& s) {
      Json* p = FindByName(s["spooler"]["printers"], name);
      if (!p) return Core::Fail(win32::kErrorInvalidPrinterName);
      s["spooler"]["default_printer"] = (*p)["name"];
      return true;
    });
  }

  bool GetPrinterDriverDirectory(WStringView server, WStringView environment, WString* directory) override {
    return Call("GetPrinterDriverDirectory", environment, [&](Json& s) {
      if (!server.empty()) return Core::Fail(win32::kErrorInvalidParameter);
      if (!environment.empty() && !IsKnownEnvironment(environment)) return Core::Fail(win32::kErrorInvalidEnvironment);
      *directory = DriverDirectory(s, environment);
      return true;
    });
  }

  bool GetPrintProcessorDirectory(WStringView server, WStringView environment, WString* directory) override {
    return Call("GetPrintProcessorDirectory", environment, [&](Json& s) {
      if (!server.empty()) return Core::Fail(win32::kErrorInvalidParameter);
      if (!environment.empty() && !IsKnownEnvironment(environment)) return Core::Fail(win32::kErrorInvalidEnvironment);
      *directory = ProcessorDirectory(s, environment);
      return true;
    });
  }

  bool AddPrinterDriverEx(WStringView server, const DriverInfo3& info, std::uint32_t) override {
    return Call("AddPrinterDriverEx", info.name, [&](Json& s) {
      if (!server.empty()) return Core::Fail(win32::kErrorInvalidParameter);
      if (!s["system"].value("admin", true)) return Core::Fail(win32::kErrorAccessDenied);
      if (info.name.empty() || info.driver_path.empty() || info.data_file.empty() || info.config_file.empty()) {
        return Core::Fail(win32::kErrorInvalidParameter);
      }
      if (!info.environment.empty() && !IsKnownEnvironment(info.environment)) {
        return Core::Fail(win32::kErrorInvalidEnvironment);
      }
      const WString env = Env(s, info.environment);
      auto& sp = s["spooler"];
      if (!info.monitor_name.empty() && !FindByName(sp["monitors"], info.monitor_name)) {
        return Core::Fail(win32::kErrorUnknownPrintMonitor);
      }
      const WString dir = DriverDirectory(s, env);
      const WString version_dir = dir + u"\\" + WString(1, static_cast<char16_t>(u'0' + (info.version % 10)));
      std::vector<WString> names = {info.driver_path, info.data_file, info.config_file};
      if (!info.help_file.empty()) names.push_back(info.help_file);
      for (const auto& f : info.dependent_files) names.push_back(f);
      Json files = Json::array();
      for (const auto& f : names) {
        const auto slash = f.find_last_of(u'\\');
        const WString base = slash == WString::npos ? f : f.substr(slash + 1);
        const WString in_version = version_dir + u"\\" + base;
        const WString in_dir = slash == WString::npos ? dir + u"\\" + base : f;
        ResolvedPath from, to;
        if (!core_.Resolve(s, in_dir, false, &from) || !core_.Resolve(s, in_version, false, &to)) return false;
        std::error_code ec;
        if (fs::is_regular_file(from.host, ec)) {
          fs::create_directories(to.host.parent_path(), ec);
          fs::copy_file(from.host, to.host, fs::copy_options::overwrite_existing, ec);
          if (ec) return Core::Fail(win32::kErrorAccessDenied);
        } else if (!fs::is_regular_file(to.host, ec)) {
          return Core::Fail(win32::kErrorFileNotFound);
        }
        files.push_back(U8(in_version));
      }
      Json deps = Json::array();
      for (const auto& f : info.dependent_files) deps.push_back(U8(f));
      Json d = {{"name", U8(info.name)},          {"environment", U8(env)},
                {"version", info.version},        {"driver_path", U8(info.driver_path)},
                {"data_file", U8(info.data_file)}, {"config_file", U8(info.config_file)},
                {"help_file", U8(info.help_file)}, {"dependent_files", deps},
                {"monitor", U8(info.monitor_name)}, {"default_data_type", U8(info.default_data_type)},
                {"files", files}};
      for (auto it = sp["drivers"].begin(); it != sp["drivers"].end(); ++it) {
        if (EqualsNoCase(JsonText(*it, "name"), info.name) && EqualsNoCase(JsonText(*it, "environment"), env)) {
          *it = d;  // an existing driver of that name is upgraded in place
          return true;
        }
      }
      sp["drivers"].push_back(d);
      return true;
    });
  }

  bool DeleteDriver(const char* api, WStringView server, WStringView environment, WStringView name,
                    std::uint32_t flags) {
    return Call(api, name, [&](Json& s) {
      if (!server.empty()) return Core::Fail(win32::kErrorInvalidParameter);
      if (!environment.empty() && !IsKnownEnvironment(environment)) return Core::Fail(win32::kErrorInvalidEnvironment);
      const WString env = Env(s, environment);
      auto& sp = s["spooler"];
      auto found = sp["drivers"].end();
      for (auto it = sp["drivers"].begin(); it != sp["drivers"].end(); ++it) {
        if (EqualsNoCase(JsonText(*it, "name"), name) && EqualsNoCase(JsonText(*it, "environment"), env)) found = it;
      }
      if (found == sp["drivers"].end()) return Core::Fail(win32::kErrorUnknownPrinterDriver);
      for (const auto& p : sp["printers"]) {
        if (EqualsNoCase(JsonText(p, "driver"), name)) return Core::Fail(win32::kErrorPrinterDriverInUse);
      }
      const Json files = (*found).value("files", Json::array());
      sp["drivers"].erase(found);
      if (flags & (kDpdDeleteUnusedFiles | kDpdDeleteAllFiles)) {
        for (const auto& f : files) {
          bool used = false;
          for (const auto& d : sp["drivers"]) {
            for (const auto& g : d.value("files", Json::array())) used = used || UpperKey(W(g)) == UpperKey(W(f));
          }
          if (used) continue;
          ResolvedPath r;
          if (core_.Resolve(s, W(f.get<std::string>()), false, &r)) {
            std::error_code ec;
            fs::remove(r.host, ec);
            s["files"].erase(r.key);
          }
        }
      }
      return true;
    });
  }

  bool DeletePrinterDriverEx(WStringView server, WStringView environment, WStringView driver_name,
                             std::uint32_t delete_flags, std::uint32_t) override {
    return DeleteDriver("DeletePrinterDriverEx", server, environment, driver_name, delete_flags);
  }
  bool DeletePrinterDriver(WStringView server, WStringView environment, WStringView driver_name) override {
    return DeleteDriver("DeletePrinterDriver", server, environment, driver_name, 0);
  }

  bool EnumPrinterDrivers(WStringView server, WStringView environment, std::vector<DriverInfo3>* drivers,
                          std::uint32_t buffer_size, std::uint32_t* needed, std::uint32_t* returned) override {
    drivers->clear();
    if (needed) *needed = 0;
    if (returned) *returned = 0;
    std::vector<DriverInfo3> all;
    const bool ok = Call("EnumPrinterDrivers", environment, [&](Json& s) {
      if (!server.empty()) return Core::Fail(win32::kErrorInvalidParameter);
      if (!environment.empty() && !IsKnownEnvironment(environment) && environment != u"all") {
        return Core::Fail(win32::kErrorInvalidEnvironment);
      }
      const WString env = Env(s, environment);
      for (const auto& d : s["spooler"]["drivers"]) {
        if (environment != u"all" && !EqualsNoCase(JsonText(d, "environment"), env)) continue;
        DriverInfo3 i;
        i.version = d.value("version", 3u);
        i.name = JsonText(d, "name");
        i.environment = JsonText(d, "environment");
        const auto files = d.value("files", Json::array());
        auto file = [&](std::size_t n) { return n < files.size() ? W(files[n].get<std::string>()) : WString(); };
        i.driver_path = file(0);
        i.data_file = file(1);
        i.config_file = file(2);
        i.help_file = JsonText(d, "help_file").empty() ? WString() : file(3);
        for (const auto& f : d.value("dependent_files", Json::array())) i.dependent_files.push_back(W(f));
        i.monitor_name = JsonText(d, "monitor");
        i.default_data_type = JsonText(d, "default_data_type");
        all.push_back(i);
      }
      return true;
    });
    if (!ok) return false;
    std::uint32_t total = 0;
    for (const auto& i : all) {
      total += (PointerSize() == 8 ? 80 : 40) + Sz(i.name) + Sz(i.environment) + Sz(i.driver_path) + Sz(i.data_file) +
               Sz(i.config_file) + Sz(i.help_file) + Sz(i.monitor_name) + Sz(i.default_data_type);
      if (!i.dependent_files.empty()) {
        for (const auto& f : i.dependent_files) total += Sz(f);
        total += 2;
      }
    }
    if (needed) *needed = total;
    if (buffer_size < total) return Core::Fail(win32::kErrorInsufficientBuffer);
    *drivers = std::move(all);
    if (returned) *returned = static_cast<std::uint32_t>(drivers->size());
    return true;
  }

  bool AddMonitor(WStringView server, const MonitorInfo2& info) override {
    return Call("AddMonitor", info.name, [&](Json& s) {
      if (!server.empty()) return Core::Fail(win32::kErrorInvalidParameter);
      if (!s["system"].value("admin", true)) return Core::Fail(win32::kErrorAccessDenied);
      if (info.name.empty() || info.dll_name.empty()) return Core::Fail(win32::kErrorInvalidParameter);
      if (!info.environment.empty() && !EqualsNoCase(info.environment, core_.LocalEnvironment(s))) {
        return Core::Fail(win32::kErrorInvalidEnvironment);
      }
      auto& sp = s["spooler"];
      if (FindByName(sp["monitors"], info.name)) return Core::Fail(win32::kErrorPrintMonitorAlreadyInstalled);
      // The spooler loads the monitor from the (native) system folder.
      if (!HostFileExists(s, NativeSystemDirectory(s) + u"\\" + info.dll_name)) {
        return Core::Fail(win32::kErrorModNotFound);
      }
      Json m = {{"name", U8(info.name)}, {"dll", U8(info.dll_name)}};
      // Machine rules say which installed monitors list their ports from a
      // registry key (a third-party monitor's own configuration).
      for (const auto& rule : s["spooler"].value("monitor_rules", Json::array())) {
        const WString contains = Upper(JsonText(rule, "dll_contains"));
        if (!contains.empty() && Upper(info.dll_name).find(contains) != WString::npos) {
          if (rule.contains("ports_from_key")) m["ports_from_key"] = rule["ports_from_key"];
          if (rule.contains("ports")) m["ports"] = rule["ports"];
        }
      }
      sp["monitors"].push_back(m);
      Json& key = RegistryNode(s, SplitPath(FromUtf8(kMonitorsKey) + u"\\" + info.name));
      SetRegString(key, "Driver", info.dll_name);
      return true;
    });
  }

  bool DeleteMonitor(WStringView server, WStringView environment, WStringView name) override {
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

  bool EnumMonitors(WStringView server, std::uint32_t level, std::vector<MonitorInfo2>* monitors,
                    std::uint32_t buffer_size, std::uint32_t* needed, std::uint32_t* returned) override {
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

  bool AddPrintProcessor(WStringView server, WStringView environment, WStringView dll_name,
                         WStringView name) override {
    return Call("AddPrintProcessor", name, [&](Json& s) {
      if (!server.empty()) return Core::Fail(win32::kErrorInvalidParameter);
      if (!s["system"].value("admin", true)) return Core::Fail(win32::kErrorAccessDenied);
      if (name.empty() || dll_name.empty()) return Core::Fail(win32::kErrorInvalidParameter);
      if (!environment.empty() && !IsKnownEnvironment(environment)) return Core::Fail(win32::kErrorInvalidEnvironment);
      const WString env = Env(s, environment);
      auto& sp = s["spooler"];
      for (const auto& p : sp["processors"]) {
        if (EqualsNoCase(JsonText(p, "name"), name) && EqualsNoCase(JsonText(p, "environment"), env)) {
          return Core::Fail(win32::kErrorPrintProcessorAlreadyInstalled);
        }
      }
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

  bool DeletePrintProcessor(WStringView server, WStringView environment, WStringView name) override {
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

  bool EnumPrintProcessors(WStringView server, WStringView environment, std::vector<PrintProcessorInfo1>* processors,
                           std::uint32_t buffer_size, std::uint32_t* needed, std::uint32_t* returned) override {
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

  bool EnumPorts(WStringView server, std::uint32_t level, std::vector<PortInfo2>* ports, std::uint32_t buffer_size,
                 std::uint32_t* needed, std::uint32_t* returned) override {
    ports->clear();
    if (needed) *needed = 0;
    if (returned) *returned = 0;
    if (level != 1 && level != 2) return Core::Fail(win32::kErrorInvalidLevel);
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

  bool DeletePort(WStringView server, WStringView port_name) override {
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

  // Delivers a finished job according to its port's mapping.
  void Deliver(Json& s, Json& job) {
    const WString port = JsonText(job, "port");
    Json mapping = {{"kind", kMapFile}};
    const auto& map = s["spooler"]["port_map"];
    for (const auto& [k, v] : map.items()) {
      if (EqualsNoCase(FromUtf8(k), port)) mapping = v;
    }
    const std::string kind = mapping.value("kind", std::string(kMapFile));
    const std::string target = mapping.value("target", std::string());
    job["delivered_to"] = kind + (target.empty() ? "" : ":" + target);
    if (kind == kMapHold) {
      job["status"] = "queued";
      return;
    }
    if (kind == kMapFile) {
      job["status"] = "printed";
      return;
    }
    Bytes data;
    std::ifstream in(core_.store().Folder() / job.value("file", std::string()), std::ios::binary);
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    std::string error;
    const bool sent = kind == kMapTcp ? SendTcp(target, data, &error) : SendDevice(target, data, &error);
    if (sent) {
      job["status"] = "printed";
      job.erase("error");
    } else {
      // The job stays in the queue with the error, as a port monitor that
      // cannot reach its printer leaves it.
      job["status"] = "error";
      job["error"] = error;
    }
  }

 private:
  Core& core_;
  std::map<std::uintptr_t, HandleInfo> handles_;
  std::uintptr_t next_handle_ = 0x1000;
};

SimPrinter::SimPrinter(SimSpooler& spooler, HandleInfo info, std::uintptr_t borrowed)
    : spooler_(spooler), info_(std::move(info)), owned_(borrowed == 0), id_(borrowed) {
  if (owned_) id_ = spooler_.Register(info_);
}

SimPrinter::~SimPrinter() {
  if (owned_ && !closed_) ClosePrinter();
}

bool SimPrinter::ClosePrinter() {
  if (closed_) return Core::Fail(win32::kErrorInvalidHandle);
  if (!owned_) {
    closed_ = true;
    return true;
  }
  closed_ = true;
  spooler_.Unregister(id_);
  // Closing a handle with an open job ends the job, as the spooler does.
  const std::uint32_t job = current_job_;
  current_job_ = 0;
  if (job != 0) {
    spooler_.core().Update([&](Json& s) {
      for (auto& j : s["spooler"]["jobs"]) {
        if (j.value("id", 0u) == job && j.value("status", std::string()) == "spooling") spooler_.Deliver(s, j);
      }
      return true;
    });
  }
  // A printer marked for deletion goes when its last job is done.
  spooler_.core().Update([&](Json& s) {
    auto& printers = s["spooler"]["printers"];
    for (auto it = printers.begin(); it != printers.end(); ++it) {
      if (EqualsNoCase(JsonText(*it, "name"), info_.name) && ((*it).value("status", 0u) & kPrinterStatusPendingDeletion) &&
          SimSpooler::JobsOf(s, info_.name) == 0) {
        printers.erase(it);
        break;
      }
    }
    return true;
  });
  return true;
}

bool SimPrinter::GetPrinter(std::uint32_t level, PrinterInfo2* info, std::uint32_t buffer_size,
                            std::uint32_t* needed) {
  if (needed) *needed = 0;
  if (info_.kind != HandleInfo::Kind::kPrinter) return Core::Fail(win32::kErrorInvalidHandle);
  if (level != 1 && level != 2 && level != 4 && level != 5) return Core::Fail(win32::kErrorInvalidLevel);
  PrinterInfo2 found;
  const bool ok = spooler_.HandleCall(info_, closed_, "GetPrinter", [&](Json& s) {
    Json* p = FindByName(s["spooler"]["printers"], info_.name);
    if (!p) return Core::Fail(win32::kErrorInvalidPrinterName);
    found = spooler_.ToInfo(s, *p);
    return true;
  });
  if (!ok) return false;
  const std::uint32_t size = spooler_.PrinterSize(level, found);
  if (needed) *needed = size;
  if (buffer_size < size) return Core::Fail(win32::kErrorInsufficientBuffer);
  *info = found;
  return true;
}

bool SimPrinter::SetPrinter(const PrinterInfo2& info) {
  if (info_.kind != HandleInfo::Kind::kPrinter) return Core::Fail(win32::kErrorInvalidHandle);
  if (!(info_.access & kPrinterAccessAdminister)) return Core::Fail(win32::kErrorAccessDenied);
  return spooler_.HandleCall(info_, closed_, "SetPrinter", [&](Json& s) {
    Json* p = FindByName(s["spooler"]["printers"], info_.name);
    if (!p) return Core::Fail(win32::kErrorInvalidPrinterName);
    const auto ports = spooler_.AllPorts(s);
    if (!info.port_name.empty() && !spooler_.FindPort(ports, info.port_name)) return Core::Fail(win32::kErrorUnknownPort);
    (*p)["port"] = U8(info.port_name.empty() ? JsonText(*p, "port") : info.port_name);
    (*p)["comment"] = U8(info.comment);
    (*p)["location"] = U8(info.location);
    (*p)["dev_mode"] = ToHex(info.dev_mode);
    (*p)["attributes"] = info.attributes & ~(kPrinterAttributeDefault | kPrinterAttributeLocal);
    if (!info.driver_name.empty()) (*p)["driver"] = U8(info.driver_name);
    if (!info.print_processor.empty()) (*p)["print_processor"] = U8(info.print_processor);
    if (!info.datatype.empty()) (*p)["datatype"] = U8(info.datatype);
    // Windows 9x marks the default printer with an attribute.
    if (info.attributes & kPrinterAttributeDefault) s["spooler"]["default_printer"] = (*p)["name"];
    return true;
  });
}

bool SimPrinter::DeletePrinter() {
  if (info_.kind != HandleInfo::Kind::kPrinter) return Core::Fail(win32::kErrorInvalidHandle);
  if (!(info_.access & kPrinterAccessAdminister)) return Core::Fail(win32::kErrorAccessDenied);
  return spooler_.HandleCall(info_, closed_, "DeletePrinter", [&](Json& s) {
    auto& sp = s["spooler"];
    Json* p = FindByName(sp["printers"], info_.name);
    if (!p) return Core::Fail(win32::kErrorInvalidPrinterName);
    if (SimSpooler::JobsOf(s, info_.name) > 0) {
      // Windows keeps a printer with queued jobs until they are done.
      (*p)["status"] = (*p).value("status", 0u) | kPrinterStatusPendingDeletion;
      return true;
    }
    if (EqualsNoCase(JsonText(sp, "default_printer"), info_.name)) sp["default_printer"] = "";
    EraseByName(sp["printers"], info_.name);
    return true;
  });
}

std::uint32_t SimPrinter::StartDocPrinter(const DocInfo1& doc) {
  if (info_.kind != HandleInfo::Kind::kPrinter) return Core::Fail(win32::kErrorInvalidHandle), 0;
  if (current_job_ != 0) return Core::Fail(win32::kErrorInvalidPrinterState), 0;
  std::uint32_t id = 0;
  const bool ok = spooler_.HandleCall(info_, closed_, "StartDocPrinter", [&](Json& s) {
    auto& sp = s["spooler"];
    Json* p = FindByName(sp["printers"], info_.name);
    if (!p) return Core::Fail(win32::kErrorInvalidPrinterName);
    if ((*p).value("status", 0u) & kPrinterStatusPendingDeletion) return Core::Fail(win32::kErrorPrinterDeleted);
    const WString datatype = doc.datatype.empty() ? JsonText(*p, "datatype") : doc.datatype;
    if (!EqualsNoCase(datatype, u"RAW") && !EqualsNoCase(datatype, u"RAW [FF appended]") &&
        !EqualsNoCase(datatype, u"TEXT") && !EqualsNoCase(datatype, u"NT EMF 1.008")) {
      return Core::Fail(win32::kErrorInvalidDatatype);
    }
    id = sp.value("next_job", 1u);
    sp["next_job"] = id + 1;
    const std::string file = std::string(kJobsFolder) + "/" + std::to_string(id) + ".bin";
    std::error_code ec;
    fs::create_directories(spooler_.core().store().Folder() / kJobsFolder, ec);
    std::ofstream(spooler_.core().store().Folder() / file, std::ios::binary | std::ios::trunc);
    sp["jobs"].push_back({{"id", id},
                          {"printer", U8(info_.name)},
                          {"port", (*p)["port"]},
                          {"document", U8(doc.doc_name)},
                          {"output_file", U8(doc.output_file)},
                          {"datatype", U8(datatype)},
                          {"pieces", Json::array()},
                          {"pages", 0},
                          {"status", "spooling"},
                          {"file", file}});
    return true;
  });
  if (!ok) return 0;
  current_job_ = id;
  in_page_ = false;
  return id;
}

bool SimPrinter::StartPagePrinter() {
  if (current_job_ == 0) return Core::Fail(win32::kErrorSplNoStartdoc);
  return spooler_.HandleCall(info_, closed_, "StartPagePrinter", [&](Json& s) {
    for (auto& j : s["spooler"]["jobs"]) {
      if (j.value("id", 0u) == current_job_) j["pages"] = j.value("pages", 0) + 1;
    }
    in_page_ = true;
    return true;
  });
}

bool SimPrinter::WritePrinter(const std::uint8_t* data, std::uint32_t size, std::uint32_t* written) {
  if (written) *written = 0;
  if (current_job_ == 0) return Core::Fail(win32::kErrorSplNoStartdoc);
  if (size > 0 && data == nullptr) return Core::Fail(win32::kErrorInvalidParameter);
  return spooler_.HandleCall(info_, closed_, "WritePrinter", [&](Json& s) {
    for (auto& j : s["spooler"]["jobs"]) {
      if (j.value("id", 0u) != current_job_) continue;
      const std::uint32_t taken = TakeShortWrite(s, info_.name, size).value_or(size);
      std::ofstream out(spooler_.core().store().Folder() / j.value("file", std::string()),
                        std::ios::binary | std::ios::app);
      out.write(reinterpret_cast<const char*>(data), taken);
      out.flush();
      if (!out) return Core::Fail(win32::kErrorDiskFull);
      j["pieces"].push_back(taken);
      if (written) *written = taken;
      return true;
    }
    return Core::Fail(win32::kErrorSplNoStartdoc);
  });
}

bool SimPrinter::EndPagePrinter() {
  if (current_job_ == 0) return Core::Fail(win32::kErrorSplNoStartdoc);
  // The page ends even when the call reports a failure.
  in_page_ = false;
  return spooler_.HandleCall(info_, closed_, "EndPagePrinter", [](Json&) { return true; });
}

bool SimPrinter::EndDocPrinter() {
  if (current_job_ == 0) return Core::Fail(win32::kErrorSplNoStartdoc);
  const std::uint32_t job = current_job_;
  const bool ok = spooler_.HandleCall(info_, closed_, "EndDocPrinter", [&](Json& s) {
    for (auto& j : s["spooler"]["jobs"]) {
      if (j.value("id", 0u) == job) spooler_.Deliver(s, j);
    }
    return true;
  });
  current_job_ = 0;
  in_page_ = false;
  return ok;
}

bool SimPrinter::EnumForms(std::vector<FormInfo1>* forms, std::uint32_t buffer_size, std::uint32_t* needed,
                           std::uint32_t* returned) {
  forms->clear();
  if (needed) *needed = 0;
  if (returned) *returned = 0;
  std::vector<FormInfo1> all;
  const bool ok = spooler_.HandleCall(info_, closed_, "EnumForms", [&](Json& s) {
    for (const auto& f : s["spooler"]["forms"]) {
      all.push_back({f.value("flags", 0u), JsonText(f, "name"), f.value("width", 0), f.value("height", 0),
                     f.value("left", 0), f.value("top", 0), f.value("right", 0), f.value("bottom", 0)});
    }
    return true;
  });
  if (!ok) return false;
  std::uint32_t total = 0;
  for (const auto& f : all) total += (spooler_.PointerSize() == 8 ? 40 : 32) + Sz(f.name);
  if (needed) *needed = total;
  if (buffer_size < total) return Core::Fail(win32::kErrorInsufficientBuffer);
  *forms = std::move(all);
  if (returned) *returned = static_cast<std::uint32_t>(forms->size());
  return true;
}

namespace {
Json FormJson(const FormInfo1& form) {
  return {{"flags", kFormUser},          {"name", U8(form.name)},          {"width", form.width},
          {"height", form.height},       {"left", form.imageable_left},    {"top", form.imageable_top},
          {"right", form.imageable_right}, {"bottom", form.imageable_bottom}};
}
bool FormSizeValid(const FormInfo1& form) {
  return form.width > 0 && form.height > 0 && form.imageable_right >= form.imageable_left &&
         form.imageable_bottom >= form.imageable_top;
}
}  // namespace

bool SimPrinter::AddForm(const FormInfo1& form) {
  if (form.name.empty()) return Core::Fail(win32::kErrorInvalidFormName);
  if (!FormSizeValid(form)) return Core::Fail(win32::kErrorInvalidFormSize);
  return spooler_.HandleCall(info_, closed_, "AddForm", [&](Json& s) {
    if (auto refusal = FormChangeRefusal(s)) return Core::Fail(*refusal);
    auto& forms = s["spooler"]["forms"];
    if (FindByName(forms, form.name)) return Core::Fail(win32::kErrorFileExists);
    forms.push_back(FormJson(form));
    return true;
  });
}

bool SimPrinter::SetForm(WStringView name, const FormInfo1& form) {
  if (!FormSizeValid(form)) return Core::Fail(win32::kErrorInvalidFormSize);
  return spooler_.HandleCall(info_, closed_, "SetForm", [&](Json& s) {
    if (auto refusal = FormChangeRefusal(s)) return Core::Fail(*refusal);
    Json* f = FindByName(s["spooler"]["forms"], name);
    if (!f) return Core::Fail(win32::kErrorInvalidFormName);
    if ((*f).value("flags", 0u) == kFormBuiltin) return Core::Fail(win32::kErrorInvalidParameter);
    const std::string kept_name = (*f)["name"];
    *f = FormJson(form);
    (*f)["name"] = kept_name;
    return true;
  });
}

bool SimPrinter::DeleteForm(WStringView name) {
  return spooler_.HandleCall(info_, closed_, "DeleteForm", [&](Json& s) {
    if (auto refusal = FormChangeRefusal(s)) return Core::Fail(*refusal);
    Json* f = FindByName(s["spooler"]["forms"], name);
    if (!f) return Core::Fail(win32::kErrorInvalidFormName);
    if ((*f).value("flags", 0u) == kFormBuiltin) return Core::Fail(win32::kErrorInvalidParameter);
    EraseByName(s["spooler"]["forms"], name);
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
  (void)output_size;
  return spooler_.HandleCall(info_, closed_, "XcvData", [&](Json& s) {
    auto& sp = s["spooler"];
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
}

}  // namespace

std::unique_ptr<Spooler> MakeSpooler(Core& core, Files&) { return std::make_unique<SimSpooler>(core); }

}  // namespace kit::sim
