#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "common/text/plugin_text.h"
#include "common/text/setup_string.h"
#include "common/text/uninstall_string.h"
#include "tests/common/text/memory_files.h"

namespace kit {
namespace {

using codepage::CodePage;
using testing::MemoryFiles;

// ------------------------------------------------------ setup wizard ----

constexpr char kSetupPath[] = "C:\\kit\\language\\setup_EN.ini";

class SetupTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    files_.Put(u"C:\\kit\\language\\setup_EN.ini",
               "[Message]\r\n"
               "IDS_TWO=line one\\1line two\\1line three\r\n"
               "IDS_ALL=a\\3b\\2c\\1d\\1e\r\n"
               "IDS_PLAIN=  Close the other setup first.  \r\n"
               "[Setup]\r\n"
               "Caption=Printer Driver Setup\r\n");
  }
  MemoryFiles files_;
};

TEST_F(SetupTextTest, OnlyTheFirstOfEachLineBreakMarkIsReplaced) {
  const setup::CMyString message(files_, kSetupPath, "Message");
  EXPECT_EQ(message.Get("IDS_TWO"), "line one\r\nline two\\1line three");
  EXPECT_EQ(message.Get("IDS_ALL"), "a\r\nb\r\nc\r\nd\\1e");
  EXPECT_EQ(message.Get("IDS_PLAIN"), "Close the other setup first.");
  EXPECT_EQ(message.Get("IDS_ABSENT"), "");
}

TEST_F(SetupTextTest, AFetchedTextStaysAsItWasAfterLaterFetches) {
  const setup::CMyString message(files_, kSetupPath, "Message");
  const setup::CMyString frame(files_, kSetupPath, "Setup");
  const std::string& first = message.Get("IDS_PLAIN");
  const std::string second = frame.Get("Caption");
  EXPECT_EQ(first, "Close the other setup first.");
  EXPECT_EQ(second, "Printer Driver Setup");
}

TEST_F(SetupTextTest, MissingLanguageFileMakesEveryTextEmpty) {
  const setup::CMyString frame(files_, "C:\\kit\\language\\setup_CN.ini", "Setup");
  EXPECT_EQ(frame.Get("Caption"), "");
  EXPECT_EQ(frame.Get("Next"), "");
}

TEST_F(SetupTextTest, AFetchKeepsAtMost2047BytesAndNeverSplitsAChineseCharacter) {
  std::string long_value(3000, 'x');
  long_value.replace(10, 2, "\\1");
  files_.Put(u"C:\\kit\\long.ini", "[Message]\r\nK=" + long_value + "\r\n");
  const setup::CMyString western(files_, "C:\\kit\\long.ini", "Message");
  const std::string& text = western.Get("K");
  EXPECT_EQ(text.size(), 2047u);
  EXPECT_EQ(text.substr(10, 2), "\r\n");

  // 1500 times "中" in code page 936: 2047 bytes would end inside one.
  std::string chinese;
  for (int i = 0; i < 1500; ++i) chinese += "\xD6\xD0";
  files_.Put(u"C:\\kit\\cn.ini", "[Message]\r\nK=" + chinese + "\r\n");
  const setup::CMyString simplified(files_, "C:\\kit\\cn.ini", "Message",
                                    {CodePage::kSimplifiedChinese, false});
  EXPECT_EQ(simplified.Get("K"), chinese.substr(0, 2046));
}

TEST(SetupLanguageFile, ChosenBySystemLanguage) {
  EXPECT_EQ(setup::SetupLanguageFile(0x0404), "language\\setup_TCN.ini");
  EXPECT_EQ(setup::SetupLanguageFile(0x0C04), "language\\setup_TCN.ini");
  EXPECT_EQ(setup::SetupLanguageFile(0x1004), "language\\setup_TCN.ini");
  EXPECT_EQ(setup::SetupLanguageFile(0x0804), "language\\setup_CN.ini");
  EXPECT_EQ(setup::SetupLanguageFile(0x0409), "language\\setup_EN.ini");
  EXPECT_EQ(setup::SetupLanguageFile(0x0407), "language\\setup_EN.ini");
}

// -------------------------------------------------------- uninstaller ----

class UninstallTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    files_.Put(u"D:\\kit\\language\\uninstall_EN.ini",
               "[Uninstall]\r\n"
               "Title=Uninstall\r\n"
               "[Message]\r\n"
               "IDS_LOG=Removed\\nthe monitor\\nnow\r\n"
               "IDS_SETUP_MARK=keeps \\1 as it is\r\n");
  }
  MemoryFiles files_;
};

TEST_F(UninstallTextTest, OnlyTheFirstBackslashNBecomesALineBreak) {
  const uninstall::CMyString message(files_, "D:\\kit", "\\language\\uninstall_EN.ini", "Message");
  EXPECT_EQ(message.path(), "D:\\kit\\language\\uninstall_EN.ini");
  EXPECT_EQ(message.Get("IDS_LOG"), "Removed\r\nthe monitor\\nnow");
  EXPECT_EQ(message.Get("IDS_SETUP_MARK"), "keeps \\1 as it is");
  EXPECT_EQ(message.Get("IDS_ABSENT"), "");
}

TEST_F(UninstallTextTest, ALogLineSurvivesOtherLookupsAndReadersGoingAway) {
  const uninstall::CMyString message(files_, "D:\\kit", "\\language\\uninstall_EN.ini", "Message");
  const std::string& line = message.Get("IDS_LOG");
  {
    const uninstall::CMyString dialog(files_, "D:\\kit", "\\language\\uninstall_EN.ini",
                                      "Uninstall");
    EXPECT_EQ(dialog.Get("Title"), "Uninstall");
  }
  EXPECT_EQ(line, "Removed\r\nthe monitor\\nnow");
}

TEST_F(UninstallTextTest, AtMost1023CharactersAndAMissingFileGivesEmptyTexts) {
  files_.Put(u"D:\\kit\\language\\uninstall_CN.ini",
             "[Message]\r\nK=" + std::string(1500, 'y') + "\\n\r\n");
  const uninstall::CMyString message(files_, "D:\\kit", "\\language\\uninstall_CN.ini", "Message");
  EXPECT_EQ(message.Get("K"), std::string(1023, 'y'));
  const uninstall::CMyString missing(files_, "D:\\kit", "\\language\\uninstall_TCN.ini", "Message");
  EXPECT_EQ(missing.Get("K"), "");
}

TEST(UninstallLanguageFile, ChosenBySystemLanguage) {
  EXPECT_EQ(uninstall::UninstallLanguageFile(2052), "\\language\\uninstall_CN.ini");
  EXPECT_EQ(uninstall::UninstallLanguageFile(1028), "\\language\\uninstall_TCN.ini");
  EXPECT_EQ(uninstall::UninstallLanguageFile(3076), "\\language\\uninstall_TCN.ini");
  EXPECT_EQ(uninstall::UninstallLanguageFile(4100), "\\language\\uninstall_TCN.ini");
  EXPECT_EQ(uninstall::UninstallLanguageFile(1033), "\\language\\uninstall_EN.ini");
}

// ------------------------------------------------------------ plug-in ----

constexpr char16_t kTextPath[] = u"C:\\Users\\u\\AppData\\Roaming\\Orvant\\CHN_VRTQ40.res";

std::string Utf16LeWithBom(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

constexpr char16_t kChineseText[] =
    u"[LAYOUT]\r\nRC_TITLE=\u7248\u9762\u8BBE\u7F6E\r\nRC_EMPTY=\r\n";

TEST(PluginText, FileTextsInEveryEncodingAndTheBuiltInFallback) {
  const std::u16string expected = u"\u7248\u9762\u8BBE\u7F6E";
  const std::string encodings[] = {
      Utf16LeWithBom(kChineseText),
      codepage::Utf16ToUtf8(kChineseText),
      "\xEF\xBB\xBF" + codepage::Utf16ToUtf8(kChineseText),
      codepage::Utf16ToAnsi(kChineseText, CodePage::kSimplifiedChinese),
  };
  for (const std::string& bytes : encodings) {
    MemoryFiles files;
    files.Put(kTextPath, bytes);
    const ini::ProfileOptions options{CodePage::kSimplifiedChinese, true};
    EXPECT_EQ(plugin::LookupText(files, kTextPath, u"LAYOUT", u"RC_TITLE", u"Layout", 50, options),
              expected);
    EXPECT_EQ(plugin::LookupText(files, kTextPath, u"layout", u"RC_EMPTY", u"Empty", 50, options),
              u"");
    EXPECT_EQ(plugin::LookupText(files, kTextPath, u"LAYOUT", u"RC_OTHER", u"Orientation:", 50,
                                 options),
              u"Orientation:");
    EXPECT_EQ(plugin::LookupText(files, kTextPath, u"LAYOUT", u"RC_TITLE", u"Layout", 3, options),
              expected.substr(0, 2));
  }
}

TEST(PluginText, MissingFileGivesBuiltInTextsCutToTheirCapacity) {
  MemoryFiles files;
  EXPECT_EQ(plugin::LookupText(files, kTextPath, u"GPD", u"RC_DENSITY", u"Print Density",
                               plugin::kTextCapacityName),
            u"Print Density");
  EXPECT_EQ(plugin::LookupText(files, kTextPath, u"GPD", u"RC_DENSITY", u"Print Density",
                               plugin::kTextCapacityShort - 12),
            u"Print D");
}

TEST(PluginText, ABoundTextFileReadsTheFileOnce) {
  MemoryFiles files;
  files.Put(kTextPath, Utf16LeWithBom(kChineseText));
  const plugin::TextFile file(files, kTextPath);
  EXPECT_EQ(file.Lookup(u"LAYOUT", u"RC_TITLE", u"Layout", 50), u"\u7248\u9762\u8BBE\u7F6E");
  EXPECT_EQ(file.Lookup(u"LAYOUT", u"RC_NONE", u"Built-in", 50), u"Built-in");
  EXPECT_EQ(files.reads(), 1);
}

}  // namespace
}  // namespace kit
