// System facts and the clock of the virtual machine.
#include <chrono>
#include <ctime>
#include <algorithm>
#include <map>

#include "platform/sim/core.h"
#include "platform/sim/missing_exports.h"
#include "platform/sim/presets.h"

namespace kit::sim {
namespace {

// The system's texts for the codes the kit shows to the user.
const std::map<win32::Error, const char16_t*>& MessageTable() {
  static const std::map<win32::Error, const char16_t*> table = {
      {0, u"The operation completed successfully.\r\n"},
      {2, u"The system cannot find the file specified.\r\n"},
      {3, u"The system cannot find the path specified.\r\n"},
      {5, u"Access is denied.\r\n"},
      {6, u"The handle is invalid.\r\n"},
      {8, u"Not enough storage is available to process this command.\r\n"},
      {13, u"The data is invalid.\r\n"},
      {32, u"The process cannot access the file because it is being used by another process.\r\n"},
      {80, u"The file exists.\r\n"},
      {87, u"The parameter is incorrect.\r\n"},
      {112, u"There is not enough space on the disk.\r\n"},
      {122, u"The data area passed to a system call is too small.\r\n"},
      {123, u"The filename, directory name, or volume label syntax is incorrect.\r\n"},
      {126, u"The specified module could not be found.\r\n"},
      {127, u"The specified procedure could not be found.\r\n"},
      {183, u"Cannot create a file when that file already exists.\r\n"},
      {193, u"%1 is not a valid Win32 application.\r\n"},
      {1003, u"Cannot complete this function.\r\n"},
      {1056, u"An instance of the service is already running.\r\n"},
      {1058, u"The service cannot be started, either because it is disabled or because it has no enabled "
             u"devices associated with it.\r\n"},
      {1060, u"The specified service does not exist as an installed service.\r\n"},
      {1062, u"The service has not been started.\r\n"},
      {1722, u"The RPC server is unavailable.\r\n"},
      {1796, u"The specified port is unknown.\r\n"},
      {1797, u"The printer driver is unknown.\r\n"},
      {1798, u"The print processor is unknown.\r\n"},
      {1801, u"The printer name is invalid.\r\n"},
      {1802, u"The printer already exists.\r\n"},
      {1804, u"The specified datatype is invalid.\r\n"},
      {1805, u"The environment specified is invalid.\r\n"},
      {1902, u"The specified form name is invalid.\r\n"},
      {3000, u"The specified print monitor is unknown.\r\n"},
      {3001, u"The specified printer driver is currently in use.\r\n"},
      {3005, u"The specified print processor has already been installed.\r\n"},
      {3006, u"The specified print monitor has already been installed.\r\n"},
      {3008, u"The specified print monitor is currently in use.\r\n"},
      {0xE000020B, u"The device instance does not exist in the hardware tree.\r\n"},
  };
  return table;
}

// ANSI_CHARSET.
constexpr std::uint8_t kAnsiCharset = 0;
// The signed-in user of a machine that names none, and that user's profile.
constexpr char16_t kDefaultUserName[] = u"User";
constexpr char16_t kDefaultProfile[] = u"C:\\Users\\User";

class SimSystemFacts final : public SystemFacts {
 public:
  explicit SimSystemFacts(Core& core) : core_(core) {}

  win32::Error GetLastError() const override { return Core::LastError(); }
  void SetLastError(win32::Error code) override { Core::SetLastError(code); }

  WString FormatMessage(win32::Error code, std::uint16_t) override {
    const auto& table = MessageTable();
    const auto it = table.find(code);
    if (it == table.end()) {
      Core::SetLastError(317);  // ERROR_MR_MID_NOT_FOUND
      return {};
    }
    return it->second;
  }

  bool GetVersionEx(OsVersionInfo* info) override {
    Json s;
    if (!core_.Read(&s)) return false;
    const auto& sys = s["system"];
    info->major = sys.value("major", 5u);
    info->minor = sys.value("minor", 1u);
    // The kit's programs declare no compatibility beyond Windows 7, so
    // Windows 8.1 and later report themselves as 6.2.
    if (info->major > 6 || (info->major == 6 && info->minor > 2)) {
      info->major = 6;
      info->minor = 2;
      info->build = 9200;
    } else {
      info->build = sys.value("build", 0u);
    }
    info->platform_id = sys.value("platform_id", kVerPlatformWin32Nt);
    info->csd_version = JsonText(sys, "csd");
    info->service_pack_major = sys.value("sp_major", std::uint16_t{0});
    info->service_pack_minor = 0;
    info->suite_mask = sys.value("suite_mask", std::uint16_t{0});
    info->product_type = sys.value("product_type", std::uint8_t{kVerNtWorkstation});
    return true;
  }

  void GetSystemInfo(SystemInfo* info) override {
    Json s;
    *info = SystemInfo{};
    if (!core_.Read(&s)) return;
    // A 32-bit process is told it runs on an x86 processor.
    info->processor_architecture = core_.process().bits == 32 ? kProcessorArchitectureIntel
                                                              : s["system"].value("arch", std::uint16_t{0});
    info->number_of_processors = s["system"].value("processors", 2u);
  }

  bool GetNativeSystemInfo(SystemInfo* info) override {
    Json s;
    if (!core_.Read(&s)) return false;
    if (!s["system"].value("has_native_system_info", true)) return Core::Fail(win32::kErrorProcNotFound);
    *info = SystemInfo{};
    info->processor_architecture = s["system"].value("arch", std::uint16_t{0});
    info->number_of_processors = s["system"].value("processors", 2u);
    return true;
  }

  bool IsWow64Process(bool* wow64) override {
    Json s;
    if (!core_.Read(&s)) return false;
    if (!s["system"].value("has_is_wow64_process", true)) return Core::Fail(win32::kErrorProcNotFound);
    if (auto fault = core_.TakeReadFault(s, "IsWow64Process")) return Core::Fail(*fault);
    *wow64 = core_.IsWow64(s);
    return true;
  }

  bool Is64BitProcess() const override { return core_.process().bits == 64; }

  std::uint16_t GetSystemDefaultLangID() override { return Field("lang", kLangEnglishUs); }
  std::uint16_t GetUserDefaultLangID() override {
    Json s;
    if (!core_.Read(&s)) return kLangEnglishUs;
    return s["system"].value("user_lang", s["system"].value("lang", kLangEnglishUs));
  }
  std::uint32_t GetACP() override { return Field("acp", std::uint16_t{1252}); }
  std::uint32_t GetOEMCP() override { return Field("oemcp", std::uint16_t{437}); }

  bool IsAdministrator() override {
    Json s;
    if (!core_.Read(&s)) return false;
    return s["system"].value("admin", true);
  }

  WString GetWindowsDirectory() override {
    Json s;
    if (!core_.Read(&s)) return {};
    return Core::WindowsDirectory(s);
  }
  WString GetSystemDirectory() override {
    Json s;
    if (!core_.Read(&s)) return {};
    const bool nine_x = s["system"].value("platform_id", 2) == static_cast<int>(kVerPlatformWin32Windows);
    return Core::WindowsDirectory(s) + (nine_x ? u"\\SYSTEM" : u"\\system32");
  }
  // As on Windows (GetTempPath reads the process's TMP/TEMP): a signed-in
  // user's programs get the profile's own temporary folder, a service (the
  // spooler) the Windows folder's Temp; Windows 9x has only the latter.
  WString GetTempPath() override {
    Json s;
    if (!core_.Read(&s)) return {};
    const bool nine_x = s["system"].value("platform_id", 2) == static_cast<int>(kVerPlatformWin32Windows);
    if (!nine_x && !IsService()) return UserProfile(s) + u"\\AppData\\Local\\Temp\\";
    const WString temp = JsonText(s["system"], "temp_dir");
    return (temp.empty() ? Core::WindowsDirectory(s) + u"\\Temp" : temp) + u"\\";
  }
  WString GetUserName() override {
    if (IsService()) return kSystemAccount;
    Json s;
    if (!core_.Read(&s)) return {};
    const WString name = JsonText(s["system"], "user_name");
    return name.empty() ? WString(kDefaultUserName) : name;
  }
  std::vector<WString> EnumFontFamilies(std::uint8_t charset) override {
    Json s;
    if (!core_.Read(&s)) return {};
    std::vector<WString> families;
    // Every family the machine has carries the Western (ANSI) set; a
    // machine made before fonts were recorded has the common ones.
    if (charset != kAnsiCharset) return families;
    const auto it = s["system"].find("font_families");
    if (it == s["system"].end() || !it->is_array()) {
      for (const std::string& name : DefaultFontFamilies()) families.push_back(W(name));
      return families;
    }
    for (const auto& name : *it)
      if (name.is_string()) families.push_back(W(name.get<std::string>()));
    return families;
  }
  bool SHGetSpecialFolderPath(int csidl, bool create, WString* path) override {
    Json s;
    if (!core_.Read(&s)) return false;
    const WString windir = Core::WindowsDirectory(s);
    const WString user = UserProfile(s);
    switch (csidl) {
      case kCsidlWindows: *path = windir; break;
      case kCsidlSystem: *path = windir + u"\\system32"; break;
      case kCsidlProgramFiles: *path = u"C:\\Program Files"; break;
      case kCsidlAppData: *path = user + u"\\AppData\\Roaming"; break;
      case kCsidlLocalAppData: *path = user + u"\\AppData\\Local"; break;
      case kCsidlCommonAppData: *path = u"C:\\ProgramData"; break;
      case kCsidlPersonal: *path = user + u"\\Documents"; break;
      default: return Core::Fail(win32::kErrorInvalidParameter);
    }
    if (create) {
      ResolvedPath r;
      if (core_.Resolve(s, *path, false, &r)) {
        std::error_code ec;
        std::filesystem::create_directories(r.host, ec);
      }
    }
    return true;
  }
  WString GetModuleFileName() override { return core_.process().module_path; }
  WString GetCurrentDirectory() override {
    const auto& p = core_.process();
    if (!p.current_directory.empty()) return p.current_directory;
    const auto slash = p.module_path.find_last_of(u'\\');
    return slash == WString::npos ? WString(u"C:\\") : p.module_path.substr(0, slash);
  }
  WString GetCommandLine() override {
    const auto& p = core_.process();
    return p.command_line.empty() ? u"\"" + p.module_path + u"\"" : p.command_line;
  }

  LibraryHandle LoadLibrary(WStringView name) override;

 private:
  template <typename T>
  T Field(const char* name, T fallback) {
    Json s;
    if (!core_.Read(&s)) return fallback;
    return s["system"].value(name, fallback);
  }
  bool IsService() const { return EqualsNoCase(core_.process().account, kSystemAccount); }
  static WString UserProfile(const Json& s) {
    const WString profile = JsonText(s["system"], "profile_dir");
    return profile.empty() ? WString(kDefaultProfile) : profile;
  }

  Core& core_;
};

// Entry points of the system libraries the kit asks for, by library. The
// machine's "missing_procs" list ("LIBRARY.DLL!FUNCTION") removes those a
// Windows version lacks.
const std::map<std::string, std::vector<std::string>>& KnownExports() {
  static const std::map<std::string, std::vector<std::string>> table = {
      {"KERNEL32.DLL",
       {"ISWOW64PROCESS", "WOW64DISABLEWOW64FSREDIRECTION", "WOW64REVERTWOW64FSREDIRECTION", "GETNATIVESYSTEMINFO",
        "GETVERSIONEXA", "GETVERSIONEXW", "GETSYSTEMDEFAULTLANGID", "LOADLIBRARYA", "LOADLIBRARYW",
        "GETPROCADDRESS", "FREELIBRARY", "CREATEMUTEXA", "CREATEMUTEXW", "SLEEP", "GETTICKCOUNT"}},
      {"WINSPOOL.DRV",
       {"DELETEPRINTERDRIVEREXA", "DELETEPRINTERDRIVEREXW", "DELETEPRINTERDRIVERA", "DELETEPRINTERDRIVERW",
        "SETDEFAULTPRINTERA", "SETDEFAULTPRINTERW", "GETDEFAULTPRINTERA", "GETDEFAULTPRINTERW",
        "ADDPRINTERDRIVEREXA", "ADDPRINTERDRIVEREXW", "ADDPRINTERDRIVERA", "ADDPRINTERDRIVERW", "OPENPRINTERA",
        "OPENPRINTERW", "XCVDATAW"}},
      {"CFGMGR32.DLL", {"CM_LOCATE_DEVNODEA", "CM_LOCATE_DEVNODEW", "CM_REENUMERATE_DEVNODE"}},
      {"SETUPAPI.DLL",
       {"SETUPCOPYOEMINFA", "SETUPCOPYOEMINFW", "SETUPDIGETCLASSDEVSA", "SETUPDIGETCLASSDEVSW",
        "SETUPDICALLCLASSINSTALLER", "SETUPITERATECABINETA", "SETUPITERATECABINETW", "SETUPOPENINFFILEA",
        "SETUPOPENINFFILEW"}},
      {"NEWDEV.DLL", {"UPDATEDRIVERFORPLUGANDPLAYDEVICESA", "UPDATEDRIVERFORPLUGANDPLAYDEVICESW"}},
      {"USER32.DLL", {"EXITWINDOWSEX", "FINDWINDOWA", "FINDWINDOWW", "SETFOREGROUNDWINDOW"}},
      {"ADVAPI32.DLL", {"OPENSCMANAGERA", "OPENSCMANAGERW", "CHECKTOKENMEMBERSHIP", "ADJUSTTOKENPRIVILEGES"}},
  };
  return table;
}

class SimLibrary final : public Library {
 public:
  // `state` is the machine's state when the library was loaded.
  SimLibrary(std::string library, Json state) : library_(std::move(library)), state_(std::move(state)) {}
  bool HasProc(std::string_view name) const override {
    if (ProcMissing(state_, library_, name)) return false;
    const auto& table = KnownExports();
    const auto it = table.find(library_);
    if (it == table.end()) return false;
    return std::find(it->second.begin(), it->second.end(), UpperKey(FromUtf8(std::string(name)))) != it->second.end();
  }

 private:
  std::string library_;
  Json state_;
};

LibraryHandle SimSystemFacts::LoadLibrary(WStringView name) {
  Json s;
  if (!core_.Read(&s)) return nullptr;
  // Reduce "C:\Windows\system32\kernel32.dll" and "kernel32" to "KERNEL32.DLL".
  WString base(name);
  const auto slash = base.find_last_of(u"\\/");
  if (slash != WString::npos) base = base.substr(slash + 1);
  if (base.find(u'.') == WString::npos) base += u".dll";
  const std::string upper = LibraryKey(U8(base));
  if (LibraryMissing(s, upper)) {
    Core::SetLastError(win32::kErrorModNotFound);
    return nullptr;
  }
  // A library is found by its path, else in the system folder.
  ResolvedPath r;
  const WString where = slash != WString::npos ? WString(name) : GetSystemDirectory() + u"\\" + base;
  std::error_code ec;
  if (!core_.Resolve(s, where, true, &r) || !std::filesystem::is_regular_file(r.host, ec)) {
    Core::SetLastError(win32::kErrorModNotFound);
    return nullptr;
  }
  return std::make_unique<SimLibrary>(upper, std::move(s));
}

// Virtual time: Sleep adds to the machine's clock and returns at once.
class SimClock final : public Clock {
 public:
  explicit SimClock(Core& core) : core_(core) {}
  void Sleep(std::uint32_t milliseconds) override {
    core_.Update([&](Json& s) {
      auto& clock = s["clock"];
      clock["now_ms"] = clock.value("now_ms", std::uint64_t{0}) + milliseconds;
      clock["slept_ms"] = clock.value("slept_ms", std::uint64_t{0}) + milliseconds;
      return true;
    });
  }
  std::uint64_t GetTickCount64() override {
    Json s;
    if (!core_.Read(&s)) return 0;
    return s["clock"].value("now_ms", std::uint64_t{0}) - s["clock"].value("boot_ms", std::uint64_t{0});
  }
  SystemTime GetLocalTime() override {
    Json s;
    SystemTime t;
    if (!core_.Read(&s)) return t;
    const std::uint64_t ms = s["clock"].value("now_ms", std::uint64_t{0});
    const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    std::tm tm{};
    gmtime_r(&seconds, &tm);  // the machine's clock holds local time
    t.year = static_cast<std::uint16_t>(tm.tm_year + 1900);
    t.month = static_cast<std::uint16_t>(tm.tm_mon + 1);
    t.day_of_week = static_cast<std::uint16_t>(tm.tm_wday);
    t.day = static_cast<std::uint16_t>(tm.tm_mday);
    t.hour = static_cast<std::uint16_t>(tm.tm_hour);
    t.minute = static_cast<std::uint16_t>(tm.tm_min);
    t.second = static_cast<std::uint16_t>(tm.tm_sec);
    t.milliseconds = static_cast<std::uint16_t>(ms % 1000);
    return t;
  }

 private:
  Core& core_;
};

}  // namespace

std::unique_ptr<SystemFacts> MakeSystemFacts(Core& core) { return std::make_unique<SimSystemFacts>(core); }
std::unique_ptr<Clock> MakeClock(Core& core) { return std::make_unique<SimClock>(core); }

}  // namespace kit::sim
