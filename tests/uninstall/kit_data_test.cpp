// The kit's uninstaller data against what setup installs: every monitor,
// processor and driver setup's configuration names is claimed, with the
// files of every Windows version; the language files hold every text.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>

#include "common/oscode/os_code.h"
#include "platform/types.h"
#include "uninstall/config/uninstall_ini.h"

namespace kit::uninstall {
namespace {

namespace fs = std::filesystem;

const std::string kSetupConfig = KIT_SETUP_DATA "/DRVCONFIG";
const std::u16string kUninstallIni = FromUtf8(KIT_UNINSTALL_DATA "/DRVCONFIG/Uninstall.ini");

std::string SetupValue(const std::string& file, const std::string& section, const std::string& key) {
  static ini::HostFileSource host;
  return ini::ReadProfileStringA(host, file, section, key, "", 200, {});
}

// Setup's per-version suffixes and the uninstaller's OS code for each.
struct Version {
  const char* setup_suffix;
  int os_code;
};
constexpr Version kVersions[] = {{".98", kOsWin9x}, {".NT", kOsNt4},          {".2K", kOsWin2000},
                                 {".XP", kOsXp},    {".2003", kOsServer2003}, {".Vista", kOsVista},
                                 {".2008", kOsServer2008}, {".Win7", kOsWin7}};

TEST(KitDataTest, EveryMonitorSetupInstallsIsClaimedWithItsFiles) {
  static ini::HostFileSource host;
  const std::string setup_ini = kSetupConfig + "/setup.ini";
  struct Monitor {
    const char *name_key, *dll_key, *ui_key;
  };
  const Monitor monitors[] = {{"USBLMONitorName", "USBLMONitorDLLName", nullptr},
                              {"USBMONitorPName", "USBMONitorPDLLName", "USBMONitorPUIDLLName"},
                              {"COMMONitorPName", "COMMONitorPDLLName", "COMMONitorPUIDLLName"}};
  for (const auto& v : kVersions) {
    UninstallIni ini(host, ToUtf8(kUninstallIni), {}, v.os_code);
    ini.Load();
    const std::string section = std::string("COMMON-MONITOR") + v.setup_suffix;
    for (const auto& m : monitors) {
      const std::string name = SetupValue(setup_ini, section, m.name_key);
      ASSERT_FALSE(name.empty()) << section << " " << m.name_key;
      EXPECT_TRUE(ini.IsFamilyMonitor(name)) << name;
      EXPECT_EQ(ini.MonitorRegistryName(name), name) << section;
      const auto files = ini.MonitorFiles(name);
      for (const char* key : {m.dll_key, m.ui_key}) {
        if (key == nullptr) continue;
        const std::string file = SetupValue(setup_ini, section, key);
        if (NamesNothing(file)) continue;
        EXPECT_NE(std::find(files.begin(), files.end(), file), files.end()) << section << " " << file;
      }
    }
  }
}

TEST(KitDataTest, EveryDriverOfEverySeriesIsClaimedAndNoProcessor) {
  static ini::HostFileSource host;
  int checked = 0;
  for (const auto& entry : fs::directory_iterator(kSetupConfig)) {
    const std::string file = entry.path().string();
    if (entry.path().extension() != ".ini" || entry.path().filename() == "setup.ini") continue;
    for (const auto& model : {"VRT-Q40", "VRT-D45", "VRT-T80", "VRT-L50", "VRT-E20"}) {
      for (const auto& v : kVersions) {
        const std::string section = std::string(model) + v.setup_suffix;
        const std::string driver = SetupValue(file, section, "GDIDRIVERNAME");
        if (driver.empty()) continue;
        UninstallIni ini(host, ToUtf8(kUninstallIni), {}, v.os_code);
        ini.Load();
        for (const char* key : {"GDIDRIVERNAME", "DriverNameS", "DriverNameP", "DriverNameU", "DriverNameN"}) {
          EXPECT_TRUE(ini.IsFamilyDriver(SetupValue(file, section, key))) << file << " " << section << " " << key;
        }
        // Both flavours print through the system's processor, which the
        // kit neither ships nor ever claims for removal.
        for (const char* flavour : {"GDI", "STD"}) {
          const std::string processor = SetupValue(file, section, std::string(flavour) + "PrintProcessor");
          EXPECT_EQ(processor, "WinPrint") << file << " " << section;
          EXPECT_FALSE(ini.IsFamilyProcessor(processor)) << file << " " << section;
          EXPECT_EQ(SetupValue(file, section, std::string(flavour) + "ProcessorDLLName"), "0") << file << section;
        }
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 40);
}

TEST(KitDataTest, LanguageFilesHoldEveryTextAndFormatsTakeOneName) {
  static ini::HostFileSource host;
  const std::map<std::string, std::vector<std::string>> keys = {
      {"Uninstall", {"Title", "Note", "Uninstall", "Select", "Exit", "USBuninstall", "Close", "CaptionName"}},
      {"Reboot", {"Title", "Note1", "Note2", "Note3", "Yes", "No"}},
      {"About", {"Title", "Version", "Copyright", "OK"}},
      {"Message",
       {"IDS_ABOUTBOX", "IDS_ERR_GETSYSDIR", "IDS_ERR_INVALID", "IDS_ERR_NOINI", "IDS_NOCOMPONENT", "IDS_SELECTPRN1", "IDS_DELETING1",
        "IDS_DELETING2", "IDS_DELETING3", "IDS_USING", "IDS_ERR_UNINSTALL", "IDS_SUCCESS", "IDS_ERR_OPENPRN",
        "IDS_ERR_GETPRNINFO", "IDS_ERR_ALLOC", "IDS_ERR_HAVEJOB1", "IDS_ERR_HAVEJOB2", "IDS_ERR_DELPRINTER",
        "IDS_DRVDELETING", "IDS_DRV_SUCCESS", "IDS_ERR_DRVUSING", "IDS_ERR_DRVDEL", "IDS_DRV_SUCCESS1"}}};
  const std::regex other_conversion("%[^s%]|%$");
  struct File {
    const char* name;
    ini::CodePage code_page;
    const char* title_utf8;
  };
  const File files[] = {{"uninstall_EN.ini", ini::CodePage::kWestern, "Uninstall"},
                        {"uninstall_CN.ini", ini::CodePage::kSimplifiedChinese, "\xE6\x89\x93\xE5\x8D\xB0\xE6\x9C\xBA\xE5\x8D\xB8\xE8\xBD\xBD\xE7\xA8\x8B\xE5\xBA\x8F"},
                        {"uninstall_TCN.ini", ini::CodePage::kTraditionalChinese, "Uninstall"}};
  for (const auto& f : files) {
    const std::u16string path = FromUtf8(std::string(KIT_UNINSTALL_DATA "/language/") + f.name);
    ini::ProfileOptions options;
    options.ansi_code_page = f.code_page;
    options.utf8_without_bom = false;
    for (const auto& [section, names] : keys) {
      for (const auto& key : names) {
        const std::u16string text = ini::ReadProfileString(host, path, FromUtf8(section), FromUtf8(key), u"", 1024, options);
        EXPECT_FALSE(text.empty()) << f.name << " " << section << "/" << key;
        EXPECT_EQ(text.find(u'\uFFFD'), std::u16string::npos) << f.name << " " << key;
        const std::string utf8 = ToUtf8(text);
        const auto first = utf8.find("%s");
        EXPECT_TRUE(first == std::string::npos || utf8.find("%s", first + 2) == std::string::npos) << key;
        EXPECT_FALSE(std::regex_search(utf8, other_conversion)) << f.name << " " << key;
      }
    }
    EXPECT_EQ(ToUtf8(ini::ReadProfileString(host, path, u"Uninstall", u"CaptionName", u"", 1024, options)),
              "Device driver setup");
    EXPECT_EQ(ToUtf8(ini::ReadProfileString(host, path, u"Uninstall", u"Title", u"", 1024, options)), f.title_utf8);
    // The restart question also follows runs in which some removals failed:
    // its lines claim no removal.
    for (const char16_t* key : {u"Note1", u"Note2", u"Note3"}) {
      const std::u16string text = ini::ReadProfileString(host, path, u"Reboot", key, u"", 1024, options);
      for (const char16_t* claim : {u"removed", u"\u5220\u9664", u"\u522A\u9664"}) {  // removed, 删除, 刪除
        EXPECT_EQ(text.find(claim), std::u16string::npos) << f.name << " " << ToUtf8(key);
      }
    }
  }
}

}  // namespace
}  // namespace kit::uninstall
