// Language set-up at module load, the copy rule, the catalogue and the
// language change, on an in-memory Windows.
#include "plugin/core/language/language_files.h"

#include <gtest/gtest.h>

#include "common/text/plugin_text.h"
#include "tests/plugin/core/language/fake_windows.h"

namespace kit::plugin::testing {
namespace {

constexpr char16_t kKey[] = u"SOFTWARE\\VELDRAN\\LANGUAGE\\";
constexpr char16_t kDriverDir[] = u"C:\\Windows\\system32\\spool\\drivers\\x64\\3\\";
constexpr char16_t kUserDir[] = u"C:\\Users\\ann\\AppData\\Roaming\\Orvant\\";

std::string VersionedFile(int version, const std::string& more = "") {
  return "[FILEVER]\r\nINIVERSION=" + std::to_string(version) + "\r\n" + more;
}

class LanguageFilesTest : public ::testing::Test {
 protected:
  std::u16string Value(std::u16string_view name) { return windows_.UserValue(kKey, name).value_or(u"<missing>"); }
  void SetUpLanguages() {
    LanguageFiles files(windows_, windows_, windows_);
    files.SetUp();
    state_ = files.state();
  }
  void ShipDriverFiles(int version) {
    for (const char16_t* name : {kEnglishTextFile, kSimplifiedChineseTextFile, kTraditionalChineseTextFile,
                                 kCatalogueFileName}) {
      windows_.PutFile(std::u16string(kDriverDir) + name, VersionedFile(version, "; driver copy\r\n"));
    }
  }

  FakeWindows windows_;
  LanguageState state_;
};

TEST_F(LanguageFilesTest, AFirstRunCreatesTheKeyAndTheFolderAndFallsBackToEnglish) {
  SetUpLanguages();
  EXPECT_TRUE(windows_.HasUserKey(kKey));
  EXPECT_EQ(Value(u"LANGUAGE_VRTQ40"), u"ENG_VRTQ40.res");
  EXPECT_EQ(Value(u"IsFirstRun_VRTQ40"), u"TRUE");
  EXPECT_TRUE(windows_.HasFolder(u"C:\\Users\\ann\\AppData\\Roaming\\Orvant"));
  EXPECT_EQ(state_.user_folder, kUserDir);
  EXPECT_EQ(state_.catalogue_path, std::u16string(kUserDir) + u"LANGUAGE_VRTQ40.DAT");
  EXPECT_EQ(state_.current_file, u"ENG_VRTQ40.res");
  EXPECT_EQ(state_.text_file_path, std::u16string(kUserDir) + u"ENG_VRTQ40.res");
  EXPECT_EQ(state_.system_choice_name, u"System Language");
  // Registry strings carry their terminator.
  const auto& stored = windows_.user_keys[u"SOFTWARE\\VELDRAN\\LANGUAGE"][u"LANGUAGE_VRTQ40"];
  EXPECT_EQ(stored.type, kRegSz);
  EXPECT_EQ(stored.data.size(), (14u + 1u) * 2u);
  // With nothing in the driver folder, every page shows its built-in text.
  EXPECT_EQ(LookupText(PlatformFileSource(windows_), state_.text_file_path, u"LAYOUT", u"RC_LAYOUTFORM", u"Main", 20),
            u"Main");
}

TEST_F(LanguageFilesTest, ASimplifiedChineseSystemSwitchesAtEveryLoadWhileFollowingIt) {
  windows_.system_language = 2052;
  windows_.PutUserValue(kKey, u"LANGUAGE_VRTQ40", u"CHF_VRTQ40.res");
  windows_.PutUserValue(kKey, u"IsFirstRun_VRTQ40", u"TRUE");
  SetUpLanguages();
  EXPECT_EQ(Value(u"LANGUAGE_VRTQ40"), u"CHN_VRTQ40.res");
  EXPECT_EQ(state_.current_file, u"CHN_VRTQ40.res");
  EXPECT_EQ(state_.text_file_path, std::u16string(kUserDir) + u"CHN_VRTQ40.res");
  EXPECT_EQ(state_.system_choice_name, u"\u7CFB\u7EDF\u8BED\u8A00(System)");

  windows_.PutUserValue(kKey, u"LANGUAGE_VRTQ40", u"ENG_VRTQ40.res");
  SetUpLanguages();
  EXPECT_EQ(Value(u"LANGUAGE_VRTQ40"), u"CHN_VRTQ40.res");
}

TEST_F(LanguageFilesTest, TraditionalChineseSystemsFollowTheirOwnFile) {
  for (std::uint16_t language : {1028, 3076, 4100}) {
    FakeWindows windows;
    windows.system_language = language;
    LanguageFiles files(windows, windows, windows);
    files.SetUp();
    EXPECT_EQ(windows.UserValue(kKey, u"LANGUAGE_VRTQ40"), u"CHF_VRTQ40.res") << language;
    EXPECT_EQ(files.state().system_choice_name, u"\u7CFB\u7D71\u8A9E\u8A00(System)") << language;
  }
}

TEST_F(LanguageFilesTest, AnExplicitChoiceIsKeptWhateverTheSystemLanguage) {
  windows_.system_language = 2052;
  windows_.PutUserValue(kKey, u"LANGUAGE_VRTQ40", u"ENG_VRTQ40.res");
  windows_.PutUserValue(kKey, u"IsFirstRun_VRTQ40", u"FALSE");
  SetUpLanguages();
  EXPECT_EQ(Value(u"LANGUAGE_VRTQ40"), u"ENG_VRTQ40.res");
  EXPECT_EQ(state_.current_file, u"ENG_VRTQ40.res");
  EXPECT_EQ(Value(u"IsFirstRun_VRTQ40"), u"FALSE");
}

TEST_F(LanguageFilesTest, AMissingValueMeansEnglishWithoutStoringIt) {
  windows_.system_language = 2052;
  windows_.PutUserValue(kKey, u"IsFirstRun_VRTQ40", u"FALSE");
  SetUpLanguages();
  EXPECT_EQ(state_.current_file, u"ENG_VRTQ40.res");
  EXPECT_FALSE(windows_.UserValue(kKey, u"LANGUAGE_VRTQ40").has_value());
}

TEST_F(LanguageFilesTest, WithoutARegistryKeyTheSystemLanguageRulesInMemory) {
  windows_.registry_refuses_create = true;
  SetUpLanguages();
  EXPECT_FALSE(windows_.HasUserKey(kKey));
  EXPECT_EQ(state_.current_file, u"ENG_VRTQ40.res");
  windows_.system_language = 2052;
  SetUpLanguages();
  EXPECT_EQ(state_.current_file, u"CHN_VRTQ40.res");
}

TEST_F(LanguageFilesTest, TheUsersCopyIsReplacedByANewerOrEqualDriverCopy) {
  windows_.PutUserValue(kKey, u"LANGUAGE_VRTQ40", u"ENG_VRTQ40.res");
  windows_.PutUserValue(kKey, u"IsFirstRun_VRTQ40", u"FALSE");
  const std::u16string user_copy = std::u16string(kUserDir) + u"ENG_VRTQ40.res";
  const std::u16string driver_copy = std::u16string(kDriverDir) + u"ENG_VRTQ40.res";
  windows_.PutFolder(u"C:\\Users\\ann\\AppData\\Roaming\\Orvant");

  windows_.PutFile(user_copy, VersionedFile(5, "; user\r\n"));
  windows_.PutFile(driver_copy, VersionedFile(5, "; driver\r\n"));
  SetUpLanguages();
  EXPECT_EQ(windows_.FileText(user_copy), VersionedFile(5, "; driver\r\n"));

  windows_.PutFile(user_copy, VersionedFile(5, "; user\r\n"));
  windows_.PutFile(driver_copy, VersionedFile(4, "; driver\r\n"));
  SetUpLanguages();
  EXPECT_EQ(windows_.FileText(user_copy), VersionedFile(5, "; user\r\n"));

  // A driver copy without a version always wins; a missing user copy is made.
  windows_.PutFile(driver_copy, "; driver without version\r\n");
  SetUpLanguages();
  EXPECT_EQ(windows_.FileText(user_copy), "; driver without version\r\n");

  // A failed copy leaves the older user copy in use.
  windows_.PutFile(user_copy, VersionedFile(1, "; old user\r\n"));
  windows_.PutFile(driver_copy, VersionedFile(2, "; driver\r\n"));
  windows_.failing_copies.insert(u"C:\\USERS\\ANN\\APPDATA\\ROAMING\\ORVANT\\ENG_VRTQ40.RES");
  SetUpLanguages();
  EXPECT_EQ(windows_.FileText(user_copy), VersionedFile(1, "; old user\r\n"));
}

TEST_F(LanguageFilesTest, TheCatalogueIsCopiedOnlyWhenMissingAtLoad) {
  ShipDriverFiles(3);
  SetUpLanguages();
  const std::u16string catalogue = std::u16string(kUserDir) + u"LANGUAGE_VRTQ40.DAT";
  EXPECT_EQ(windows_.FileText(catalogue), VersionedFile(3, "; driver copy\r\n"));
  windows_.PutFile(catalogue, VersionedFile(1, "; user\r\n"));
  SetUpLanguages();
  EXPECT_EQ(windows_.FileText(catalogue), VersionedFile(1, "; user\r\n"));
}

TEST_F(LanguageFilesTest, DriverFilesComeFromTheFolderOfTheProcessorArchitecture) {
  LanguageFiles files(windows_, windows_, windows_);
  EXPECT_EQ(files.DriverDirectory(), kDriverDir);
  windows_.processor_architecture = kProcessorArchitectureIa64;
  EXPECT_EQ(files.DriverDirectory(), kDriverDir);
  windows_.processor_architecture = kProcessorArchitectureIntel;
  EXPECT_EQ(files.DriverDirectory(), u"C:\\Windows\\system32\\spool\\drivers\\w32x86\\3\\");
}

TEST_F(LanguageFilesTest, ACatalogueWithoutCountOffersTwoLanguages) {
  LanguageFiles files(windows_, windows_, windows_);
  files.SetUp();
  windows_.PutFile(std::u16string(kDriverDir) + u"LANGUAGE_VRTQ40.DAT",
                   "[LANGUAGE]\r\nLanguage1=Deutsch\r\nINI1=DEU_VRTQ40.res\r\n");
  windows_.PutFile(std::u16string(kDriverDir) + u"DEU_VRTQ40.res", "[LAYOUT]\r\nRC_LAYOUTFORM=Haupt\r\n");
  const auto& languages = files.LoadCatalogue();
  ASSERT_EQ(languages.size(), 2u);
  EXPECT_EQ(languages[0].display_name, u"English");
  EXPECT_EQ(languages[0].text_file, u"ENG_VRTQ40.res");
  EXPECT_EQ(languages[0].system_choice_name, u"System Language");
  EXPECT_EQ(languages[1].display_name, u"Deutsch");
  EXPECT_EQ(languages[1].text_file, u"DEU_VRTQ40.res");
  // Every listed language's text file is brought to the user's folder.
  EXPECT_TRUE(windows_.HasFile(std::u16string(kUserDir) + u"DEU_VRTQ40.res"));
}

TEST_F(LanguageFilesTest, CatalogueNamesAreCutToTheirCapacitiesAndCountToTheTable) {
  LanguageFiles files(windows_, windows_, windows_);
  files.SetUp();
  windows_.PutFile(std::u16string(kDriverDir) + u"LANGUAGE_VRTQ40.DAT",
                   "[LANGUAGE]\r\nCOUNT=40\r\nINI0=ABCDEFGHIJKLMNOPQRSTUVWXYZ.res\r\nLanguage0=" +
                       std::string(60, 'x') + "\r\n");
  const auto& languages = files.LoadCatalogue();
  EXPECT_EQ(languages.size(), kMaxLanguages);
  EXPECT_EQ(languages[0].text_file, u"ABCDEFGHIJKLMNOPQRS");
  EXPECT_EQ(languages[0].display_name, std::u16string(49, u'x'));
}

TEST_F(LanguageFilesTest, PickingALanguageOrTheSystemChoiceIsStoredAndReloaded) {
  ShipDriverFiles(1);
  windows_.PutFile(std::u16string(kDriverDir) + u"LANGUAGE_VRTQ40.DAT",
                   "[LANGUAGE]\r\nCOUNT=2\r\nLanguage0=English\r\nINI0=ENG_VRTQ40.res\r\nSYSLANG0=System Language\r\n"
                   "Language1=Chinese\r\nINI1=CHN_VRTQ40.res\r\nSYSLANG1=System (Chinese)\r\n");
  LanguageFiles files(windows_, windows_, windows_);
  files.SetUp();
  files.LoadCatalogue();

  files.ChangeLanguage(u"Chinese");
  EXPECT_EQ(Value(u"LANGUAGE_VRTQ40"), u"CHN_VRTQ40.res");
  EXPECT_EQ(Value(u"IsFirstRun_VRTQ40"), u"FALSE");
  EXPECT_EQ(files.state().current_file, u"CHN_VRTQ40.res");
  EXPECT_EQ(files.state().text_file_path, std::u16string(kUserDir) + u"CHN_VRTQ40.res");

  files.ChangeLanguage(u"System Language");
  EXPECT_EQ(Value(u"LANGUAGE_VRTQ40"), u"ENG_VRTQ40.res");
  EXPECT_EQ(Value(u"IsFirstRun_VRTQ40"), u"TRUE");

  // Another process changes the language; a reload sees it.
  windows_.PutUserValue(kKey, u"LANGUAGE_VRTQ40", u"CHF_VRTQ40.res");
  files.ReloadCurrentLanguage();
  EXPECT_EQ(files.state().current_file, u"CHF_VRTQ40.res");
  windows_.user_keys[u"SOFTWARE\\VELDRAN\\LANGUAGE"].erase(u"LANGUAGE_VRTQ40");
  files.ReloadCurrentLanguage();
  EXPECT_EQ(files.state().current_file, u"ENG_VRTQ40.res");
}

TEST_F(LanguageFilesTest, ADeviceSheetRecordsItsPort) {
  LanguageFiles files(windows_, windows_, windows_);
  files.SetUp();
  files.RecordPrinterPort(u"USB_VRTQ40_001");
  EXPECT_EQ(Value(u"USB_VRTQ40_001"), u"LANGUAGE_VRTQ40");
}

}  // namespace
}  // namespace kit::plugin::testing

namespace kit::plugin::testing {
namespace {

// The Main page's language list selects the system choice while the user
// follows the system language.
TEST(LanguageFirstRunTest, TheFirstRunValueTellsWhetherTheUserFollowsTheSystem) {
  struct Case {
    const char16_t* stored;  // null: no value
    bool follows;
    const char16_t* after;
  };
  const Case cases[] = {
      {nullptr, true, u"TRUE"},
      {u"TRUE", true, u"TRUE"},
      {u"FALSE", false, u"FALSE"},
      {u"xTRUEx", true, u"xTRUEx"},  // "contains TRUE", as at load
      {u"true", false, u"true"},
  };
  for (const Case& c : cases) {
    FakeWindows windows;
    windows.PutUserKey(kKey);
    if (c.stored != nullptr) windows.PutUserValue(kKey, u"IsFirstRun_VRTQ40", c.stored);
    LanguageFiles files(windows, windows, windows);
    EXPECT_EQ(files.FollowsSystemLanguage(), c.follows) << (c.stored ? ToUtf8(c.stored) : "none");
    EXPECT_EQ(windows.UserValue(kKey, u"IsFirstRun_VRTQ40").value_or(u"<missing>"), c.after);
  }
  // Without the key the user follows the system, and nothing is created.
  FakeWindows no_key;
  LanguageFiles files(no_key, no_key, no_key);
  EXPECT_TRUE(files.FollowsSystemLanguage());
  EXPECT_FALSE(no_key.HasUserKey(kKey));
}

}  // namespace
}  // namespace kit::plugin::testing
