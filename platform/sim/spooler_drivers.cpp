// Printer drivers of the virtual machine's spooler: the driver folder,
// adding (the named files copied into the version folder), listing and
// deleting them.

#include <filesystem>

#include "platform/sim/spooler_internal.h"

namespace kit::sim::spool {
namespace {

namespace fs = std::filesystem;

}  // namespace

void StoreDriverRecord(Json& sp, const DriverInfo3& info, WStringView env, Json files) {
  Json deps = Json::array();
  for (const auto& f : info.dependent_files) deps.push_back(U8(f));
  Json d = {{"name", U8(info.name)},          {"environment", U8(WString(env))},
            {"version", info.version},        {"driver_path", U8(info.driver_path)},
            {"data_file", U8(info.data_file)}, {"config_file", U8(info.config_file)},
            {"help_file", U8(info.help_file)}, {"dependent_files", deps},
            {"monitor", U8(info.monitor_name)}, {"default_data_type", U8(info.default_data_type)},
            {"files", std::move(files)}};
  if (Json* existing = FindForEnvironment(sp["drivers"], info.name, env)) {
    *existing = std::move(d);  // an existing driver of that name is upgraded in place
    return;
  }
  sp["drivers"].push_back(std::move(d));
}

bool SimSpooler::GetPrinterDriverDirectory(WStringView server, WStringView environment, WString* directory) {
  return Call("GetPrinterDriverDirectory", environment, [&](Json& s) {
    if (!server.empty()) return Core::Fail(win32::kErrorInvalidParameter);
    if (!environment.empty() && !IsKnownEnvironment(environment)) return Core::Fail(win32::kErrorInvalidEnvironment);
    *directory = DriverDirectory(s, environment);
    return true;
  });
}

bool SimSpooler::AddPrinterDriverEx(WStringView server, const DriverInfo3& info, std::uint32_t) {
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
    StoreDriverRecord(sp, info, env, std::move(files));
    return true;
  });
}

bool SimSpooler::DeleteDriver(const char* api, WStringView server, WStringView environment, WStringView name,
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

bool SimSpooler::DeletePrinterDriverEx(WStringView server, WStringView environment, WStringView driver_name,
                                       std::uint32_t delete_flags, std::uint32_t) {
  return DeleteDriver("DeletePrinterDriverEx", server, environment, driver_name, delete_flags);
}

bool SimSpooler::DeletePrinterDriver(WStringView server, WStringView environment, WStringView driver_name) {
  return DeleteDriver("DeletePrinterDriver", server, environment, driver_name, 0);
}

bool SimSpooler::EnumPrinterDrivers(WStringView server, WStringView environment, std::vector<DriverInfo3>* drivers,
                                    std::uint32_t buffer_size, std::uint32_t* needed, std::uint32_t* returned) {
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

}  // namespace kit::sim::spool
