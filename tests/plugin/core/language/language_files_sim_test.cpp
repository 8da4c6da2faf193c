// Language set-up on the virtual Windows machine, with the language files
// the kit ships placed in the machine's driver folder.
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/text/plugin_text.h"
#include "platform/sim/machine.h"
#include "platform/sim/presets.h"
#include "platform/sim/store.h"
#include "plugin/core/language/language_files.h"

namespace kit::plugin {
namespace {

class LanguageOnMachineTest : public ::testing::Test {
 protected:
  // A process of `bits` bits (the plug-in is built for both).
  void Boot(const char* preset, int bits = 32) {
    char pattern[] = "/tmp/kit-plugin-language-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    folder_ = pattern;
    std::string error;
    ASSERT_TRUE(sim::CreateMachine(folder_, preset, false, &error)) << error;
    sim::ProcessOptions process;
    process.bits = bits;
    machine_ = sim::Machine::Open(folder_, process, &error);
    ASSERT_NE(machine_, nullptr) << error;
  }
  void TearDown() override {
    machine_.reset();
    if (!folder_.empty()) std::filesystem::remove_all(folder_);
  }
  Platform& platform() { return machine_->platform(); }
  // The machine's user: a standard user cannot write into the driver folder.
  void SetAdministrator(bool administrator) {
    std::string message;
    ASSERT_EQ(sim::Store(folder_).Update(
                  [&](sim::Json& state) {
                    state["system"]["admin"] = administrator;
                    return true;
                  },
                  &message),
              sim::StoreError::kNone)
        << message;
  }
  // The kit's files, as the administrator's install laid them.
  void ShipKitFiles(const std::u16string& driver_dir) {
    SetAdministrator(true);
    for (const char* name : {"LANGUAGE_VRTQ40.DAT", "ENG_VRTQ40.res", "CHN_VRTQ40.res", "CHF_VRTQ40.res"}) {
      std::ifstream in(std::string(KIT_PLUGIN_DATA_DIR) + "/" + name, std::ios::binary);
      const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      ASSERT_FALSE(bytes.empty()) << name;
      ASSERT_TRUE(platform().files.WriteFile(driver_dir + FromUtf8(name), bytes, WriteMode::kCreateAlways));
    }
    SetAdministrator(false);
  }
  std::u16string UserValue(std::u16string_view name) {
    RegistryKeyPtr key;
    if (platform().registry.RegOpenKeyEx(RootKey::kCurrentUser, kLanguageKeyPath, kKeyRead, &key) !=
        win32::kErrorSuccess) {
      return u"<no key>";
    }
    WString value;
    if (key->GetString(name, &value) != win32::kErrorSuccess) return u"<missing>";
    return value;
  }

  std::filesystem::path folder_;
  std::unique_ptr<sim::Machine> machine_;
};

TEST_F(LanguageOnMachineTest, ASimplifiedChineseUserGetsTheChineseTextsFromTheDriverFolder) {
  Boot("win7-x86-zh-cn");
  LanguageFiles language(platform());
  const std::u16string driver_dir = language.DriverDirectory();
  EXPECT_EQ(driver_dir, u"C:\\Windows\\system32\\spool\\drivers\\w32x86\\3\\");
  ShipKitFiles(driver_dir);

  language.SetUp();
  EXPECT_EQ(UserValue(u"LANGUAGE_VRTQ40"), u"CHN_VRTQ40.res");
  EXPECT_EQ(UserValue(u"IsFirstRun_VRTQ40"), u"TRUE");
  const LanguageState& state = language.state();
  EXPECT_EQ(state.text_file_path, state.user_folder + u"CHN_VRTQ40.res");
  EXPECT_NE(platform().files.GetFileAttributes(state.catalogue_path), kInvalidFileAttributes);
  EXPECT_EQ(LookupText(language.file_source(), state.text_file_path, u"LAYOUT", u"RC_LAYOUTFORM", u"Main", 20),
            u"\u4E3B\u9875");
  // A key the file lacks shows its built-in text.
  EXPECT_EQ(LookupText(language.file_source(), state.text_file_path, u"LAYOUT", u"RC_NO_SUCH_KEY", u"built-in", 50),
            u"built-in");

  const auto& languages = language.LoadCatalogue();
  ASSERT_EQ(languages.size(), 3u);
  EXPECT_EQ(languages[2].text_file, u"CHF_VRTQ40.res");
  EXPECT_NE(platform().files.GetFileAttributes(state.user_folder + u"CHF_VRTQ40.res"), kInvalidFileAttributes);

  // The user picks English: it stays English at the next load.
  language.ChangeLanguage(u"English");
  LanguageFiles next_load(platform());
  next_load.SetUp();
  EXPECT_EQ(next_load.state().current_file, u"ENG_VRTQ40.res");
  EXPECT_EQ(UserValue(u"IsFirstRun_VRTQ40"), u"FALSE");
}

TEST_F(LanguageOnMachineTest, AnEnglishMachineWithoutDriverFilesFallsBackToBuiltInTexts) {
  Boot("win7-x64-en", 64);
  LanguageFiles language(platform());
  EXPECT_EQ(language.DriverDirectory(), u"C:\\Windows\\system32\\spool\\drivers\\x64\\3\\");
  language.SetUp();
  EXPECT_EQ(UserValue(u"LANGUAGE_VRTQ40"), u"ENG_VRTQ40.res");
  EXPECT_EQ(LookupText(language.file_source(), language.state().text_file_path, u"LAYOUT", u"RC_LAYOUTFORM",
                       u"Main", 20),
            u"Main");
  EXPECT_EQ(language.LoadCatalogue().size(), 2u);
}

}  // namespace
}  // namespace kit::plugin
