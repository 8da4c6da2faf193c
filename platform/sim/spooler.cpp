// Print spooler of the virtual machine: drivers, monitors, processors,
// ports, printers, forms and raw jobs, kept in the state file. Calls fail
// with RPC_S_SERVER_UNAVAILABLE while the "Spooler" service is not running,
// and handles opened before a spooler restart are invalid afterwards, as on
// Windows.
// Each spooler object has its own file (spooler_printers.cpp and the
// others); this one holds the helpers they share and the service state.

#include "platform/sim/loaded_modules.h"
#include "platform/sim/spooler_internal.h"

namespace kit::sim {
namespace spool {

namespace fs = std::filesystem;

std::uint32_t Sz(const WString& s) { return s.empty() ? 0 : static_cast<std::uint32_t>((s.size() + 1) * 2); }

WString Upper(const WString& s) { return ToUpperAscii(s); }

Json* FindByName(Json& list, WStringView name, const char* member) {
  for (auto& e : list) {
    if (EqualsNoCase(JsonText(e, member), name)) return &e;
  }
  return nullptr;
}

Json* FindForEnvironment(Json& list, WStringView name, WStringView environment) {
  for (auto& e : list) {
    if (EqualsNoCase(JsonText(e, "name"), name) && EqualsNoCase(JsonText(e, "environment"), environment)) return &e;
  }
  return nullptr;
}

bool EraseByName(Json& list, WStringView name, const char* member) {
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

WString SimSpooler::Env(const Json& s, WStringView env) const {
  return env.empty() ? core_.CallerEnvironment(s) : WString(env);
}

WString SimSpooler::DriverDirectory(const Json& s, WStringView env) const {
  if (s["system"].value("platform_id", 2) == static_cast<int>(kVerPlatformWin32Windows)) {
    return Core::WindowsDirectory(s) + u"\\SYSTEM";
  }
  return Core::WindowsDirectory(s) + u"\\system32\\spool\\drivers\\" + EnvironmentFolder(Env(s, env));
}

WString SimSpooler::ProcessorDirectory(const Json& s, WStringView env) const {
  if (s["system"].value("platform_id", 2) == static_cast<int>(kVerPlatformWin32Windows)) {
    return Core::WindowsDirectory(s) + u"\\SYSTEM";
  }
  return Core::WindowsDirectory(s) + u"\\system32\\spool\\prtprocs\\" + EnvironmentFolder(Env(s, env));
}

// The native system folder (monitor DLLs live there).
WString SimSpooler::NativeSystemDirectory(const Json& s) const {
  const bool nine_x = s["system"].value("platform_id", 2) == static_cast<int>(kVerPlatformWin32Windows);
  return Core::WindowsDirectory(s) + (nine_x ? u"\\SYSTEM" : u"\\system32");
}

bool SimSpooler::HostFileExists(const Json& s, const WString& windows_path) {
  ResolvedPath r;
  if (!core_.Resolve(s, windows_path, /*redirect=*/false, &r)) return false;
  std::error_code ec;
  return fs::is_regular_file(r.host, ec);
}

}  // namespace spool

std::unique_ptr<Spooler> MakeSpooler(Core& core, Files&) { return std::make_unique<spool::SimSpooler>(core); }

}  // namespace kit::sim
