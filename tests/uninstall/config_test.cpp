// Uninstall.ini and the language texts: lists, sections, the "none" values,
// the INF-manufacturer rule, log texts, and finding the file.
#include <gtest/gtest.h>

#include <map>

#include "common/oscode/os_code.h"
#include "tests/uninstall/family_machine.h"
#include "uninstall/config/inf_rule.h"
#include "uninstall/config/ini_search.h"
#include "uninstall/config/log_text.h"
#include "uninstall/config/uninstall_ini.h"

namespace kit::uninstall {
namespace {

class MemoryFiles final : public ini::FileSource {
 public:
  std::map<std::u16string, std::string> files;
  std::optional<std::string> Read(std::u16string_view path) const override {
    auto it = files.find(std::u16string(path));
    if (it == files.end()) return std::nullopt;
    return it->second;
  }
  bool Write(std::u16string_view, std::string_view) override { return false; }
};

constexpr char kIni[] = "C:\\kit\\DRVCONFIG\\Uninstall.ini";

UninstallIni Load(MemoryFiles& files, const std::string& text, int os_code) {
  files.files[u"C:\\kit\\DRVCONFIG\\Uninstall.ini"] = text;
  UninstallIni ini(files, kIni, {}, os_code);
  ini.Load();
  return ini;
}

TEST(UninstallIniTest, ListEntriesThatCanMatch) {
  struct Case {
    const char* what;
    std::string section;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"count one above the entries: the missing entry matches nothing",
       "MonitorNUM=2\nMONITORNAME1=KVR USB Port\n", {"KVR USB Port"}},
      {"empty and \"0\" entries match nothing",
       "MonitorNUM=3\nMONITORNAME1=\nMONITORNAME2=0\nMONITORNAME3=KVR\n", {"KVR"}},
      {"negative count", "MonitorNUM=-4\nMONITORNAME1=KVR\n", {}},
      {"non-numeric count", "MonitorNUM=three\nMONITORNAME1=KVR\n", {}},
      {"digits then text count as the digits", "MonitorNUM=1x\nMONITORNAME1=KVR\n", {"KVR"}},
      {"a huge count reads entries 1 to 9 only",
       "MonitorNUM=2000000000\nMONITORNAME1=A\nMONITORNAME9=I\nMONITORNAME:=J\n", {"A", "I"}},
      {"values are cut at 29 characters", "MonitorNUM=1\nMONITORNAME1=ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789\n",
       {"ABCDEFGHIJKLMNOPQRSTUVWXYZ012"}},
      {"no section", "", {}},
  };
  for (const auto& c : cases) {
    MemoryFiles files;
    const UninstallIni ini = Load(files, "[KVMONITOR]\n" + c.section, kOsWin7);
    EXPECT_EQ(ini.monitors(), c.expected) << c.what;
  }
}

TEST(UninstallIniTest, FamilyMembershipBySubstring) {
  MemoryFiles files;
  const UninstallIni ini = Load(files,
                                "[KVMONITOR]\nMonitorNUM=1\nMONITORNAME1=KVR\n[KVPROC]\nPROCNUM=1\nPROCNAME1=KVRPrint\n"
                                "[KVPRINTER]\nPRINTERNUM=2\nPRINTERNAME1=VRT-Q40\n",
                                kOsWin7);
  EXPECT_TRUE(ini.IsFamilyMonitor("KVR USB Port"));
  EXPECT_FALSE(ini.IsFamilyMonitor("kvr usb port"));  // case-sensitive
  EXPECT_FALSE(ini.IsFamilyMonitor("Local Port"));
  EXPECT_TRUE(ini.IsFamilyProcessor("KVRPrint"));
  EXPECT_FALSE(ini.IsFamilyProcessor("winprint"));
  EXPECT_TRUE(ini.IsFamilyDriver("VRT-Q40"));
  // PRINTERNUM 2 with one entry: a foreign "...2000" driver is not claimed.
  EXPECT_FALSE(ini.IsFamilyDriver("Acme Label 2000"));
  const UninstallIni on_9x = Load(files, "[KVPROC]\nPROCNUM=1\nPROCNAME1=KVRPrint\n", kOsWin9x);
  EXPECT_FALSE(on_9x.IsFamilyProcessor("KVRPrint"));
  // Entries that would take in the system's processor (itself, a part of its
  // name, an entry left empty) never make it the family's.
  const UninstallIni wide = Load(files, "[KVPROC]\nPROCNUM=3\nPROCNAME1=WinPrint\nPROCNAME2=Print\nPROCNAME3=\n", kOsWin7);
  for (const char* system : {"WinPrint", "winprint", "WINPRINT"}) EXPECT_FALSE(wide.IsFamilyProcessor(system)) << system;
  EXPECT_TRUE(wide.IsFamilyProcessor("KVRPrint"));
}

TEST(UninstallIniTest, PerVersionSectionsAndTheirValues) {
  MemoryFiles files;
  const UninstallIni win7 = Load(files,
                                 "[AbcUSBMonitor.Win7]\nUSBMONitorName=Abc USB Monitor\nMonitorPDLLName=ABCMON.DLL\n"
                                 "MONitorPUIDLLName=0\nUSBMONitorDLLName=ABCUSB.DLL\n"
                                 "[AbcPortMonitor.Win7]\nMonitorPDLLName=..\\\\evil.dll\nMONitorPUIDLLName=C:ABC.DLL\n"
                                 "USBMONitorDLLName=NOTREAD.DLL\n"
                                 "[Abc Proc.Vista]\nProcessorDllName=ABCPROC.DLL\n[Abc Proc.Win7]\nProcessorDllName=sub/x.dll\n",
                                 kOsWin7);
  EXPECT_EQ(win7.MonitorSection("Abc USB Monitor"), "AbcUSBMonitor.Win7");
  EXPECT_EQ(win7.MonitorRegistryName("Abc USB Monitor"), "Abc USB Monitor");
  EXPECT_EQ(win7.MonitorFiles("Abc USB Monitor"), (std::vector<std::string>{"ABCMON.DLL", "ABCUSB.DLL"}));
  // Names that leave the system folder are never used; the section without
  // "USB" does not read USBMONitorDLLName.
  EXPECT_TRUE(win7.MonitorFiles("Abc Port Monitor").empty());
  EXPECT_EQ(win7.MonitorRegistryName("Abc Port Monitor"), "0");
  EXPECT_EQ(win7.ProcessorFile("Abc Proc"), "");
  const UninstallIni vista = Load(files, files.files.begin()->second, kOsVista);
  EXPECT_EQ(vista.ProcessorSection("Abc Proc"), "Abc Proc.Vista");
  EXPECT_EQ(vista.ProcessorFile("Abc Proc"), "ABCPROC.DLL");
  // ".2K" serves 2000 and XP; long names are cut at 29 characters.
  EXPECT_EQ(Load(files, "", kOsXp).MonitorSection("A B"), "AB.2K");
  EXPECT_EQ(win7.ProcessorSection("A very long print processor name indeed"), "A very long print processor n");
  EXPECT_EQ(win7.ProcessorSection("A very long print processor name indeed").size(), 29u);
}

TEST(UninstallIniTest, NoneValues) {
  EXPECT_TRUE(NamesNothing(""));
  EXPECT_TRUE(NamesNothing("0"));
  EXPECT_FALSE(NamesNothing("0x"));
  EXPECT_FALSE(IsPlainFileName(""));
  EXPECT_FALSE(IsPlainFileName("a\\b"));
  EXPECT_FALSE(IsPlainFileName("a/b"));
  EXPECT_FALSE(IsPlainFileName("C:x"));
  EXPECT_TRUE(IsPlainFileName("KVRLMON.DLL"));
}

TEST(InfRuleTest, ManufacturerSections) {
  MemoryFiles files;
  files.files[u"C:\\Windows\\inf\\oem1.inf"] =
      "[KVRO.NTamd64]\n\"KVRO TP80\" = Install, USBPRINT\\X\n[Acme]\n\"Acme 1\" = A\n[Empty]\n\"Empty One\" =\n";
  struct Case {
    const char* manufacturer;
    const char* printer;
    bool belongs;
  };
  const Case cases[] = {
      {"0", "KVRO TP80", true},   {"", "KVRO TP80", true},     {"0", "kvro tp80", true},  // keys ignore case
      {"0", "KVRO TP8", false},   {"Acme", "Acme 1", true},    {"Acme", "KVRO TP80", false},
      {"KVRO", "KVRO TP80", true}, {"Empty", "Empty One", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(InfBelongsToPrinter(files, "C:\\Windows\\inf\\oem1.inf", c.printer, c.manufacturer, {}), c.belongs)
        << c.manufacturer << " / " << c.printer;
  }
}

TEST(LogTextTest, OnlyTheFirstPercentSTakesTheArgument) {
  struct Case {
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {"Removing %s ...", "Removing KVR ..."},
      {"%s and %s", "KVR and %s"},
      {"%n%d %x %s", "%n%d %x KVR"},
      {"100%% done %s", "100% done KVR"},
      {"trailing %", "trailing %"},
      {"no argument", "no argument"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatLogText(c.text, "KVR"), c.expected) << c.text;
  EXPECT_EQ(FormatErrorCodeLine("Driver error %s %d", 1801), "Driver error %s %d    er=1801");
  EXPECT_EQ(FormatErrorCodeLine("x", 0xFFFFFFFF), "x    er=-1");
}

class IniSearchTest : public FamilyMachineTest {};

TEST_F(IniSearchTest, KitFolderFirstThenDrvconfigAndTheBackupRule) {
  Build("win7-x64-en", false);
  Files& files = u().files;
  const auto cp = codepage::CodePage::kWestern;
  // Only DRVCONFIG holds the file.
  EXPECT_EQ(LocateUninstallIni(files, "C:\\kit", cp).path, "C:\\kit\\DRVCONFIG\\Uninstall.ini");
  // A backup in the kit folder ends the search there.
  Put(u"C:\\kit\\Uninstall.ini.bak", "[KVMONITOR]\nMonitorNUM=1\nMONITORNAME1=X\n");
  IniLocation at = LocateUninstallIni(files, "C:\\kit", cp);
  EXPECT_EQ(at.outcome, IniSearch::kFound);
  EXPECT_EQ(at.path, "C:\\kit\\Uninstall.ini");
  // Every entry visited is set to archive only, folders keep their bit.
  EXPECT_EQ(files.GetFileAttributes(u"C:\\kit\\Uninstall.ini.bak"), kFileAttributeArchive);
  EXPECT_NE(files.GetFileAttributes(u"C:\\kit\\DRVCONFIG") & kFileAttributeDirectory, 0u);
  // Without any copy, and without the folders.
  Put(u"C:\\empty\\readme.txt", "");
  EXPECT_EQ(LocateUninstallIni(files, "C:\\empty", cp).outcome, IniSearch::kInvalid);  // no DRVCONFIG
  Put(u"C:\\empty\\DRVCONFIG\\setup.ini", "");
  EXPECT_EQ(LocateUninstallIni(files, "C:\\empty", cp).outcome, IniSearch::kNoIni);
  EXPECT_EQ(LocateUninstallIni(files, "C:\\missing", cp).outcome, IniSearch::kInvalid);
  EXPECT_EQ(LocateUninstallIni(files, "", cp).outcome, IniSearch::kNoCurrentDirectory);
  EXPECT_STREQ(IniSearchMessageKey(IniSearch::kNoIni), "IDS_ERR_NOINI");
}

TEST_F(IniSearchTest, ACurrentDirectoryOf256CharactersCannotBeRead) {
  Build("win7-x64-en", false);
  const WString deep = u"C:\\" + WString(252, u'd');  // 255 characters: fits
  sim::ProcessOptions process;
  process.current_directory = deep;
  std::string error;
  auto fits = sim::Machine::Open(folder_, process, &error);
  ASSERT_NE(fits, nullptr) << error;
  EXPECT_EQ(ReadCurrentDirectory(fits->platform().system, codepage::CodePage::kWestern).size(), 255u);
  process.current_directory = deep + u"d";
  auto too_long = sim::Machine::Open(folder_, process, &error);
  ASSERT_NE(too_long, nullptr) << error;
  EXPECT_EQ(ReadCurrentDirectory(too_long->platform().system, codepage::CodePage::kWestern), "");
}

}  // namespace
}  // namespace kit::uninstall
