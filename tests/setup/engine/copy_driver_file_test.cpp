// CopyDriverFile on virtual machines: every destination, files in use,
// the Unidrv core files from the driver cache (XP) and the driver store
// (Windows 7), and the texts of failures.
#include <gtest/gtest.h>

#include <optional>

#include "common/ini/profile_file.h"
#include "setup/about/language_texts.h"
#include "setup/engine/copy_driver_file.h"
#include "tests/setup/engine/engine_machine.h"
#include "ui/text.h"

namespace kit::setup::testing {
namespace {

TEST(CopyDriverFile, EachDestinationOnWindows7x64) {
  EngineMachine m;
  m.Put(m.system32 + "\\SRCLIENT.DLL", "already there");
  struct Case {
    int destination;
    std::string file;
    std::string expected_path;
    std::string expected_content;
  };
  const Case cases[] = {
      {kDestInfFolder, "vrtq40.ini", m.windows + "\\inf\\VRTQ40.INI", "W64 VRTQ40.INI"},
      {kDestDriverLogFolder, "VRTQ40.INI", m.windows + "\\KVRODriverlog\\VRTQ40.INI", "W64 VRTQ40.INI"},
      {kDestVersion3Folder, "VRTQ40CONTROL.dat", m.driver_folder + "\\3\\VRTQ40CONTROL.DAT", "W64 VRTQ40CONTROL.DAT"},
      {kDestDriverFolder, "VRTQ40G.GPD", m.driver_folder + "\\VRTQ40G.GPD", "W64 VRTQ40G.GPD"},
      {kDestProcessorFolder, "KVRPRT64.DLL", m.processor_folder + "\\KVRPRT64.DLL", "W64 KVRPRT64.DLL"},
      // The 32-bit wizard writes the native system folder with redirection off.
      {kDestSystemFolder, "KVRCOMMON.DLL", m.system32 + "\\KVRCOMMON.DLL", PayloadContent("W64 KVRCOMMON.DLL")},
      {kDestSystemIfAbsent, "srclient.dll", m.system32 + "\\SRCLIENT.DLL", "already there"},
      // Windows' own file, already there (in the 32-bit wbem folder), is kept.
      {kDestWbemIfAbsent, "framedyn.dll", m.windows + "\\SysWOW64\\wbem\\FRAMEDYN.DLL",
       "virtual machine system file\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.destination);
    std::string target;
    EXPECT_EQ(CopyDriverFile(m.ctx(), c.file, c.destination, false, &target), kCopyDone);
    EXPECT_EQ(m.Content(c.expected_path), c.expected_content);
    EXPECT_TRUE(m.ctx().error_text.empty()) << m.ctx().error_text;
  }
  EXPECT_EQ(CopyDriverFile(m.ctx(), "VRTQ40.INI", 12345, false), kCopyFailed);
  EXPECT_EQ(m.ctx().error_text, "IDS_ERR_DIRTYPE");
}

// A Windows file the system lacks is copied from the kit only when the
// kit's file is a Windows image: a text stand-in (or no file) in its place
// fails the copy with the text that the system lacks the file, and nothing
// reaches the system folder.
TEST(CopyDriverFile, WindowsFileTheSystemLacksComesOnlyFromAWindowsImage) {
  // The headers of a Windows image: "MZ", the PE header's offset at 0x3C,
  // "PE\0\0" and an i386 COFF header.
  std::string image(0x40 + 4 + 20, '\0');
  image[0] = 'M';
  image[1] = 'Z';
  image[0x3C] = 0x40;
  image.replace(0x40, 4, std::string("PE\0\0", 4));
  image[0x44] = 0x4C;
  image[0x45] = 0x01;
  struct Case {
    const char* label;
    int destination;
    std::string file;
    std::string target;  // where the system keeps it
    bool on_system;
    std::optional<std::string> in_kit;  // nullopt: the kit has no such file
    int result;
  };
  EngineMachine m("winxp-x86-en");
  const Case cases[] = {
      {"present: kept", kDestSystemIfAbsent, "srclient.dll", m.system32 + "\\SRCLIENT.DLL", true, "W32 SRCLIENT.DLL",
       kCopyDone},
      {"absent, a stand-in in the kit", kDestSystemIfAbsent, "srclient.dll", m.system32 + "\\SRCLIENT.DLL", false,
       "W32 SRCLIENT.DLL", kCopyFailed},
      {"absent, an empty file in the kit", kDestSystemIfAbsent, "newdev.dll", m.system32 + "\\NEWDEV.DLL", false, "",
       kCopyFailed},
      {"absent, not in the kit", kDestWbemIfAbsent, "framedyn.dll", m.system32 + "\\wbem\\FRAMEDYN.DLL", false,
       std::nullopt, kCopyFailed},
      {"absent, a Windows image in the kit", kDestWbemIfAbsent, "framedyn.dll",
       m.system32 + "\\wbem\\FRAMEDYN.DLL", false, image, kCopyDone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string name = ToUtf8(ToUpperAscii(FromUtf8(c.file)));
    const std::string kit_file = "C:\\kit\\W32\\" + name;
    m.Remove(kit_file);
    if (c.in_kit) m.Put(kit_file, *c.in_kit);
    m.Remove(c.target);
    if (c.on_system) m.Put(c.target, "Windows' own");
    m.ctx().error_text.clear();
    EXPECT_EQ(CopyDriverFile(m.ctx(), c.file, c.destination, false), c.result);
    if (c.result == kCopyFailed) {
      EXPECT_EQ(m.ctx().error_text, "IDS_ERR_NOSYSTEMFILE" + name + "IDS_ERR_NOSYSTEMFILE1");
      EXPECT_FALSE(m.Exists(c.target)) << "nothing is copied in its place";
    } else {
      EXPECT_TRUE(m.ctx().error_text.empty()) << m.ctx().error_text;
      EXPECT_EQ(m.Content(c.target), c.on_system ? "Windows' own" : *c.in_kit);
    }
  }
}

TEST(CopyDriverFile, InUseAndDeniedReturnTheirCodesWithoutText) {
  EngineMachine m;
  m.PathFault(m.system32 + "\\KVRCOMMON.DLL", 32);
  m.PathFault(m.system32 + "\\KVRCOMUI.DLL", 5);
  EXPECT_EQ(CopyDriverFile(m.ctx(), "KVRCOMMON.DLL", kDestSystemFolder, false), kCopyInUse);
  EXPECT_EQ(CopyDriverFile(m.ctx(), "KVRCOMUI.DLL", kDestSystemFolder, false), kCopyAccessDenied);
  EXPECT_TRUE(m.ctx().error_text.empty());
  // The side-by-side copy takes the "n" name.
  EXPECT_EQ(CopyDriverFile(m.ctx(), "kvrcommon.dll", kDestSystemFolder, true), kCopyDone);
  EXPECT_EQ(m.Content(m.system32 + "\\nKVRCOMMON.DLL"), PayloadContent("W64 KVRCOMMON.DLL"));
  // A read-only destination is made writable first.
  m.Put(m.driver_folder + "\\VRTQ40G.GPD", "old");
  m.platform().files.SetFileAttributes(u"C:\\Windows\\system32\\spool\\drivers\\x64\\VRTQ40G.GPD",
                                       kFileAttributeReadOnly);
  EXPECT_EQ(CopyDriverFile(m.ctx(), "VRTQ40G.GPD", kDestDriverFolder, false), kCopyDone);
  EXPECT_EQ(m.Content(m.driver_folder + "\\VRTQ40G.GPD"), "W64 VRTQ40G.GPD");
}

TEST(CopyDriverFile, MissingSourceGivesTheCopyText) {
  EngineMachine m;
  EXPECT_EQ(CopyDriverFile(m.ctx(), "NOFILE.DLL", kDestDriverFolder, false), kCopyFailed);
  const std::string& text = m.ctx().error_text;
  EXPECT_EQ(text.rfind("IDS_ERR_COPYFIEL" + m.driver_folder + "\\NOFILE.DLL\n", 0), 0u) << text;
  EXPECT_EQ(text.substr(text.size() - 17), "IDS_ERR_COPYFIEL1");
  EXPECT_GT(text.size(), std::string("IDS_ERR_COPYFIEL\nIDS_ERR_COPYFIEL1").size() + m.driver_folder.size() + 12)
      << "the system's text is part of it";
}

// The kit's own texts around a failed copy, in each language: the blank
// after "Cannot copy the file" survives the profile functions' trimming, and
// nothing follows the system's text, which ends in its own stop.
TEST(CopyDriverFile, TheKitsCopyTextKeepsItsBlankAndEndsInOneStop) {
  EngineMachine m;
  static ini::HostFileSource host;
  struct Language {
    const char* file;
    ini::CodePage code_page;
    std::string stop;  // the language's full stop in its code page
  };
  const Language languages[] = {{"setup_EN.ini", ini::CodePage::kWestern, "."},
                                {"setup_CN.ini", ini::CodePage::kSimplifiedChinese, "\xA1\xA3"},
                                {"setup_TCN.ini", ini::CodePage::kTraditionalChinese, "\xA1\x43"}};
  auto ends_with = [](const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
  };
  for (const Language& l : languages) {
    SCOPED_TRACE(l.file);
    ini::ProfileOptions options;
    options.ansi_code_page = l.code_page;
    options.utf8_without_bom = false;
    const FileLanguageTexts texts(host, std::string(KIT_SETUP_DATA) + "/language/" + l.file, options);
    EngineContext ctx(m.platform(), texts, "C:\\kit", m.ctx().os_code, m.ctx().is_64bit);
    EXPECT_EQ(CopyDriverFile(ctx, "NOFILE.DLL", kDestDriverFolder, false), kCopyFailed);
    const std::string& text = ctx.error_text;
    EXPECT_NE(text.find(" " + m.driver_folder + "\\NOFILE.DLL\n"), std::string::npos) << text;
    EXPECT_TRUE(ends_with(text, ".") || ends_with(text, l.stop)) << text;
    for (const std::string& a : {std::string("."), l.stop}) {
      for (const std::string& b : {std::string("."), l.stop}) EXPECT_FALSE(ends_with(text, a + b)) << text;
    }
  }
}

TEST(CopyDriverFile, Windows7TakesUnidrvFilesFromTheDriverStore) {
  EngineMachine m;
  EXPECT_EQ(CopyDriverFile(m.ctx(), "UNIRES.DLL", kDestDriverFolder, false), kCopyDone);
  EXPECT_EQ(m.Content(m.driver_folder + "\\UNIRES.DLL"), "system unires.dll\n");
  // Files outside the Unidrv set come from the package.
  EXPECT_EQ(CopyDriverFile(m.ctx(), "VRTQ40R.DLL", kDestDriverFolder, false), kCopyDone);
  EXPECT_EQ(m.Content(m.driver_folder + "\\VRTQ40R.DLL"), "W64 VRTQ40R.DLL");
}

TEST(CopyDriverFile, Windows7WithoutDriverStoreFails) {
  EngineMachine m;
  m.Remove(m.system32 + "\\DriverStore");
  EXPECT_EQ(CopyDriverFile(m.ctx(), "TTFSUB.GPD", kDestDriverFolder, false), kCopyFailed);
  EXPECT_EQ(m.ctx().error_text.rfind("Couldn't find system files.\n", 0), 0u) << m.ctx().error_text;
  EXPECT_EQ(m.Content(m.driver_folder + "\\TTFSUB.GPD"), "(missing)");
}

TEST(CopyDriverFile, XpExtractsTheCabinetOnceAndFallsBackToThePackage) {
  EngineMachine m("winxp-x86-en");
  ASSERT_EQ(m.ctx().os_code, 3);
  EXPECT_EQ(CopyDriverFile(m.ctx(), "UNIRES.DLL", kDestDriverFolder, false), kCopyDone);
  EXPECT_EQ(m.Content(m.driver_folder + "\\UNIRES.DLL"), "system unires.dll\n");
  const std::string temp = ui::ToAnsi(m.platform().system.GetTempPath());
  for (const char* member : {"unidrvui.dll", "unidrv.dll", "unires.dll", "unidrv.hlp", "stdnames.gpd", "ttfsub.gpd"}) {
    EXPECT_EQ(m.Content(temp + member), std::string("system ") + member + "\n");
  }
  EXPECT_EQ(m.Content(temp + "other.dll"), "(missing)") << "other members are skipped";
  // Later calls use the extracted files: the cabinets are not walked again.
  m.Remove(m.windows + "\\Driver Cache");
  EXPECT_EQ(CopyDriverFile(m.ctx(), "TTFSUB.GPD", kDestDriverFolder, false), kCopyDone);
  EXPECT_EQ(m.Content(m.driver_folder + "\\TTFSUB.GPD"), "system ttfsub.gpd\n");
}

TEST(CopyDriverFile, XpDamagedCabinetFallsBackToThePackage) {
  EngineMachine m("winxp-x86-en");
  m.Put(m.windows + "\\Driver Cache\\i386\\driver.cab", "not a cabinet");
  EXPECT_EQ(CopyDriverFile(m.ctx(), "UNIRES.DLL", kDestDriverFolder, false), kCopyDone);
  EXPECT_EQ(m.Content(m.driver_folder + "\\UNIRES.DLL"), "W32 UNIRES.DLL");
  EXPECT_TRUE(m.ctx().error_text.empty());
}

TEST(CopyDriverFile, OverlongFolderCountsAsMissing) {
  EngineMachine m;
  m.Change([](sim::Json& s) { s["system"]["windows_dir"] = "C:\\" + std::string(260, 'W'); });
  EXPECT_EQ(CopyDriverFile(m.ctx(), "VRTQ40.INI", kDestInfFolder, false), kCopyFailed);
  EXPECT_EQ(m.ctx().error_text, "IDS_ERR_GETWINDIR");
}

}  // namespace
}  // namespace kit::setup::testing
