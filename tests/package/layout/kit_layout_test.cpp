// The layout check on a kit folder laid out from the kit's own data: the
// complete folder passes; a file the configuration names, a fixed name or a
// front-end missing is named; names are found without case; a stray file is
// reported; a name added to a series file becomes required.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "package/layout/kit_folder_files.h"
#include "package/layout/kit_layout.h"

namespace kit::package {
namespace {

namespace fs = std::filesystem;

class KitLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kit_ = fs::temp_directory_path() /
           ("kit layout " + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(kit_);
    fs::create_directories(kit_);
    const auto copy = fs::copy_options::recursive | fs::copy_options::overwrite_existing;
    fs::copy(fs::path(KIT_SETUP_DATA), kit_, copy);
    fs::copy(fs::path(KIT_UNINSTALL_DATA), kit_, copy);
    for (const char* folder : {"W32", "W64"}) {
      for (const char* file : {"VRTQ40UI.DLL", "LANGUAGE_VRTQ40.DAT", "ENG_VRTQ40.res", "CHN_VRTQ40.res",
                               "CHF_VRTQ40.res"}) {
        Write(std::string(folder) + "/" + file, "stand-in");
      }
    }
    Write("kitsetup.exe", "MZ");
    Write("Uninstall.exe", "MZ");
  }
  void TearDown() override { fs::remove_all(kit_); }

  void Write(const std::string& relative, const std::string& text) {
    fs::create_directories((kit_ / relative).parent_path());
    std::ofstream(kit_ / relative, std::ios::binary) << text;
  }
  LayoutReport Check(Flavour flavour = Flavour::kX64) {
    LayoutOptions options;
    options.flavour = flavour;
    options.usb_hand_off = false;
    return CheckLayout(kit_, options);
  }
  static std::vector<std::string> MissingPaths(const LayoutReport& report) {
    std::vector<std::string> out;
    for (const auto& file : report.missing) out.push_back(file.path);
    return out;
  }

  fs::path kit_;
};

TEST_F(KitLayoutTest, TheKitsDataWithItsProgramsIsComplete) {
  const auto report = Check();
  EXPECT_TRUE(report.missing.empty()) << ::testing::PrintToString(MissingPaths(report));
  EXPECT_TRUE(report.unexpected.empty()) << ::testing::PrintToString(report.unexpected);
}

TEST_F(KitLayoutTest, EachMissingFileIsNamed) {
  // One of each kind, removed together: each is named, nothing else.
  const std::vector<std::pair<std::string, std::string>> removed = {
      {"W64/VRTQ40G.GPD", "W64\\VRTQ40G.GPD"},                    // a model's data file, 64-bit series file
      {"W32/KVRUSBUI.DLL", "W32\\KVRUSBUI.DLL"},                  // a monitor's UI file of setup.ini
      {"W32/CHF_VRTQ40.res", "W32\\CHF_VRTQ40.res"},              // a plug-in language file
      {"W64/Setup.inf", "W64\\Setup.inf"},                        // the class-printer INF
      {"DRVCONFIG/setup_Label_64.ini", "DRVCONFIG\\setup_Label_64.ini"},
      {"language/uninstall_TCN.ini", "language\\uninstall_TCN.ini"},
      {"Guide/Guide_CN.chm", "Guide\\Guide_CN.chm"},
      {"RegUtility/Regutility.exe", "RegUtility\\Regutility.exe"},
      {"Uninstall_CN.CHM", "Uninstall_CN.CHM"},
      {"Uninstall.exe", "Uninstall.exe"},
  };
  std::vector<std::string> expected;
  for (const auto& [file, reported] : removed) {
    ASSERT_TRUE(fs::remove(kit_ / file)) << file;
    expected.push_back(reported);
  }
  auto missing = MissingPaths(Check());
  std::sort(missing.begin(), missing.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(missing, expected);
}

TEST_F(KitLayoutTest, NamesAreFoundWithoutCase) {
  fs::rename(kit_ / "W64/VRTQ40G.GPD", kit_ / "W64/vrtq40g.gpd");
  fs::rename(kit_ / "DRVCONFIG", kit_ / "drvconfig");
  fs::rename(kit_ / "Uninstall.exe", kit_ / "UNINSTALL.EXE");
  const auto report = Check();
  EXPECT_TRUE(report.missing.empty()) << ::testing::PrintToString(MissingPaths(report));
  EXPECT_TRUE(report.unexpected.empty()) << ::testing::PrintToString(report.unexpected);
}

TEST_F(KitLayoutTest, AStrayFileAndTheOtherFlavoursProgramsAreUnexpected) {
  Write("W32/notes.txt", "left behind");
  Write("kitsetup", "a Linux build");
  const auto report = Check();
  EXPECT_TRUE(report.missing.empty());
  EXPECT_EQ(report.unexpected, (std::vector<std::string>{"W32\\notes.txt", "kitsetup"}));
  // The Linux flavour wants the Linux programs instead.
  const auto linux_report = Check(Flavour::kLinux);
  EXPECT_EQ(MissingPaths(linux_report), std::vector<std::string>{"Uninstall"});
}

TEST_F(KitLayoutTest, TheNamesComeFromTheConfiguration) {
  // A model's data file renamed in the 64-bit ticket file: the new name is
  // required in W64\, and the old one there is no longer wanted.
  const fs::path series = kit_ / "DRVCONFIG/setup_Ticket_64.ini";
  std::ifstream in(series, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  for (std::size_t at; (at = text.find("VRTT80G.GPD")) != std::string::npos;) text.replace(at, 11, "VRTT80X.GPD");
  std::ofstream(series, std::ios::binary | std::ios::trunc) << text;
  const auto report = Check();
  EXPECT_EQ(MissingPaths(report), std::vector<std::string>{"W64\\VRTT80X.GPD"});
  EXPECT_EQ(report.unexpected, std::vector<std::string>{"W64\\VRTT80G.GPD"});
}

TEST(KitFolderFilesTest, FindsPathsWithoutCaseAndNothingOutsideItsRoot) {
  const fs::path root = fs::temp_directory_path() / "kit folder files";
  fs::remove_all(root);
  fs::create_directories(root / "Sub Folder");
  std::ofstream(root / "Sub Folder" / "File.INI") << "[A]\r\nB=1\r\n";
  const KitFolderFiles files(root);
  EXPECT_EQ(files.Read(u"K:\\sub folder\\file.ini"), "[A]\r\nB=1\r\n");
  EXPECT_EQ(files.Read(u"k:/SUB FOLDER/FILE.ini"), "[A]\r\nB=1\r\n");
  EXPECT_EQ(files.Read(u"K:\\sub folder"), std::nullopt);       // a folder is no file
  EXPECT_EQ(files.Read(u"C:\\sub folder\\file.ini"), std::nullopt);  // another root
  EXPECT_EQ(files.Read(u"K:\\missing.ini"), std::nullopt);
  EXPECT_EQ(files.Read(u"K:\\..\\kit folder files\\sub folder\\file.ini"), std::nullopt);  // never above the root
  EXPECT_EQ(FindNoCase(root, "SUB FOLDER\\file.ini"), root / "Sub Folder" / "File.INI");
  fs::remove_all(root);
}

}  // namespace
}  // namespace kit::package
