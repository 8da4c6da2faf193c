#include "platform/sim/loaded_modules.h"

namespace kit::sim {

WString EnvironmentFolder(WStringView env) {
  if (EqualsNoCase(env, kEnvironmentX64)) return u"x64";
  if (EqualsNoCase(env, kEnvironmentWin40)) return u"WIN40";
  if (EqualsNoCase(env, kEnvironmentIa64)) return u"IA64";
  return u"W32X86";
}

std::optional<win32::Error> LoadedModuleFault(Core& core, const Json& s, const ResolvedPath& target) {
  if (!s.contains("services") || !s["services"].contains("Spooler") ||
      s["services"]["Spooler"].value("state", kServiceRunning) != kServiceRunning) {
    return std::nullopt;
  }
  const WString windows = Core::WindowsDirectory(s);
  const bool nine_x = s["system"].value("platform_id", 2) == static_cast<int>(kVerPlatformWin32Windows);
  const WString system = windows + (nine_x ? u"\\SYSTEM" : u"\\system32");
  auto held = [&](const WString& path) {
    ResolvedPath r;
    return core.Resolve(s, path, /*redirect=*/false, &r) && r.key == target.key;
  };
  const Json& spooler = s["spooler"];
  for (const auto& m : spooler.value("monitors", Json::array())) {
    if (held(system + u"\\" + FromUtf8(m.value("dll", std::string())))) return win32::kErrorSharingViolation;
  }
  for (const auto& p : spooler.value("processors", Json::array())) {
    const WString folder =
        nine_x ? system
               : system + u"\\spool\\prtprocs\\" + EnvironmentFolder(FromUtf8(p.value("environment", std::string())));
    if (held(folder + u"\\" + FromUtf8(p.value("dll", std::string())))) return win32::kErrorSharingViolation;
  }
  return std::nullopt;
}

}  // namespace kit::sim
