// The language files the kit ships, read as the plug-in reads them.
#include <gtest/gtest.h>

#include "common/ini/profile_file.h"
#include "common/text/plugin_text.h"

namespace kit::plugin {
namespace {

std::u16string KitFile(const char* name) {
  const std::string path = std::string(KIT_PLUGIN_DATA_DIR) + "/" + name;
  return std::u16string(path.begin(), path.end());  // the build path is plain ASCII
}

TEST(ShippedLanguageFiles, TheCatalogueListsThreeLanguagesEachWithItsFile) {
  ini::HostFileSource files;
  const ini::Profile catalogue = ini::LoadProfile(files, KitFile("LANGUAGE_VRTQ40.DAT"));
  EXPECT_EQ(catalogue.encoding(), ini::TextEncoding::kUtf16Le);
  EXPECT_EQ(catalogue.GetInt(u"LANGUAGE", u"COUNT", 2), 3u);
  EXPECT_EQ(catalogue.GetString(u"LANGUAGE", u"INI1", u"", 20), u"CHN_VRTQ40.res");
  EXPECT_EQ(catalogue.GetString(u"LANGUAGE", u"SYSLANG1", u"", 50), u"\u7CFB\u7EDF\u8BED\u8A00(System)");
  EXPECT_EQ(catalogue.GetString(u"LANGUAGE", u"SYSLANG2", u"", 50), u"\u7CFB\u7D71\u8A9E\u8A00(System)");
  EXPECT_EQ(catalogue.GetString(u"LANGUAGE", u"CUR_INI", u"", 30), u"ENG_VRTQ40.res");
  EXPECT_GE(catalogue.GetInt(u"FILEVER", u"INIVERSION", 0), 1u);
}

TEST(ShippedLanguageFiles, EachLanguageAnswersThePagesKeys) {
  ini::HostFileSource files;
  const TextFile english(files, KitFile("ENG_VRTQ40.res"));
  const TextFile simplified(files, KitFile("CHN_VRTQ40.res"));
  const TextFile traditional(files, KitFile("CHF_VRTQ40.res"));
  // The English file agrees with the built-in texts.
  EXPECT_EQ(english.Lookup(u"LAYOUT", u"RC_LAYOUTFORM", u"?", 20), u"Main");
  EXPECT_EQ(english.Lookup(u"DOCUMENT", u"RC_SEND_COMMAND", u"?", 50), u"Send Command      [Example:1D 56 42 00]");
  EXPECT_EQ(english.Lookup(u"FONT", u"RC_STATIC_FONT_NOTICE", u"?", 256),
            u"Select this font size in the application. ");  // the trailing space survives
  EXPECT_EQ(simplified.Lookup(u"LAYOUT", u"RC_LAYOUTFORM", u"?", 20), u"\u4E3B\u9875");
  EXPECT_EQ(traditional.Lookup(u"WATERMARK", u"RC_WATERMARKFORM", u"?", 20), u"\u6D6E\u6C34\u5370");
  EXPECT_EQ(simplified.Lookup(u"GPD", u"RC_DENSITY", u"?", 50), u"\u6253\u5370\u6D53\u5EA6");
  EXPECT_EQ(traditional.Lookup(u"MessageBox", u"MB_ERROR", u"?", 1024), u"\u932F\u8AA4");
  // Texts of two lines are not in the files: the built-in text shows.
  EXPECT_EQ(simplified.Lookup(u"VERSION", u"RC_STATIC_VER5", u"built-in", 256), u"built-in");
}

}  // namespace
}  // namespace kit::plugin
