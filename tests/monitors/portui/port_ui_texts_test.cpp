// The port dialogs' language (the plug-in's choice for this user, or the
// system's) and their texts in each language.
#include <gtest/gtest.h>

#include "monitors/portui/port_ui_texts.h"
#include "monitors/portui/usb_port_page.h"
#include "tests/platform/sim/sim_fixture.h"

namespace kit::monitors {
namespace {

constexpr char16_t kKey[] = u"SOFTWARE\\VELDRAN\\LANGUAGE\\";

class PortUiTextsTest : public sim::SimTest {
 protected:
  void SetUp() override { Create("win7-x64-en", 64); }
};

TEST_F(PortUiTextsTest, TheLanguageIsThePlugInsChoiceOrTheSystems) {
  using L = PortUiLanguage;
  struct Case {
    bool key;
    const char16_t* first_run;  // nullptr: no value
    const char16_t* file;       // nullptr: no value
    std::uint16_t system;
    L language;
  };
  const Case cases[] = {
      {false, nullptr, nullptr, 2052, L::kSimplifiedChinese},
      {false, nullptr, nullptr, 1028, L::kTraditionalChinese},
      {false, nullptr, nullptr, 3076, L::kTraditionalChinese},
      {false, nullptr, nullptr, 4100, L::kTraditionalChinese},
      {false, nullptr, nullptr, 1033, L::kEnglish},
      {false, nullptr, nullptr, 5124, L::kEnglish},  // Chinese (Macao): not among the kit's rules
      // Following the system: the stored file does not count.
      {true, u"TRUE", u"CHF_VRTQ40.res", 1033, L::kEnglish},
      {true, u"xTRUEx", u"CHF_VRTQ40.res", 2052, L::kSimplifiedChinese},
      {true, nullptr, u"CHF_VRTQ40.res", 1033, L::kEnglish},
      // The user's own choice, whatever the system.
      {true, u"FALSE", u"CHF_VRTQ40.res", 2052, L::kTraditionalChinese},
      {true, u"FALSE", u"chn_vrtq40.RES", 1033, L::kSimplifiedChinese},
      {true, u"FALSE", u"ENG_VRTQ40.res", 2052, L::kEnglish},
      {true, u"FALSE", nullptr, 2052, L::kEnglish},
      {true, u"FALSE", u"JPN_VRTQ40.res", 1028, L::kEnglish},  // a language without texts here
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.key << " " << (c.first_run ? ToUtf8(c.first_run) : "-") << " "
                                      << (c.file ? ToUtf8(c.file) : "-") << " " << c.system);
    p().registry.RegDeleteKey(RootKey::kCurrentUser, kKey);
    if (c.key) {
      RegistryKeyPtr key;
      ASSERT_EQ(p().registry.RegCreateKeyEx(RootKey::kCurrentUser, kKey, kKeyAllAccess, &key), 0u);
      if (c.first_run) ASSERT_EQ(key->SetString(u"IsFirstRun_VRTQ40", c.first_run), 0u);
      if (c.file) ASSERT_EQ(key->SetString(u"LANGUAGE_VRTQ40", c.file), 0u);
    }
    EXPECT_EQ(ChoosePortUiLanguage(p().registry, c.system), c.language);
    // Only read: nothing is created or written.
    RegistryKeyPtr key;
    EXPECT_EQ(p().registry.RegOpenKeyEx(RootKey::kCurrentUser, kKey, kKeyRead, &key) == 0, c.key);
  }
}

// Every language has every text, each failure text the marks of the
// port, the error's number and its text, and the USB rule its ids.
TEST(PortUiTexts, EveryLanguageHasEveryTextWithItsMarks) {
  for (const PortUiLanguage language :
       {PortUiLanguage::kEnglish, PortUiLanguage::kSimplifiedChinese, PortUiLanguage::kTraditionalChinese}) {
    SCOPED_TRACE(static_cast<int>(language));
    const PortUiTexts& t = TextsFor(language);
    for (const std::u16string* text :
         {&t.caption, &t.port, &t.baud, &t.data_bits, &t.parity, &t.stop_bits, &t.flow, &t.ok, &t.cancel, &t.close,
          &t.defaults, &t.read_only, &t.bad_combination, &t.index, &t.prints_to, &t.no_settings}) {
      EXPECT_FALSE(text->empty());
      EXPECT_EQ(text->find(u'%'), std::u16string::npos) << ToUtf8(*text);
    }
    for (const auto& names : {std::vector<std::u16string>(t.parity_names.begin(), t.parity_names.end()),
                              std::vector<std::u16string>(t.flow_names.begin(), t.flow_names.end())}) {
      for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_FALSE(names[i].empty());
        for (std::size_t j = 0; j < i; ++j) EXPECT_NE(names[i], names[j]);  // one meaning per entry
      }
    }
    for (const std::u16string* text : {&t.open_failed, &t.read_failed, &t.damaged, &t.write_failed, &t.not_a_port}) {
      const std::u16string filled = FillText(*text, {u"<A>", u"<B>", u"<C>"});
      for (const char16_t* mark : {u"<A>", u"<B>", u"<C>"}) {
        EXPECT_NE(filled.find(mark), std::u16string::npos) << ToUtf8(*text);
      }
    }
    const std::u16string rule = UsbPrinterRule(t, 8);
    for (const char16_t* id : {u"7", u"15", u"23"}) EXPECT_NE(rule.find(id), std::u16string::npos) << ToUtf8(rule);
    EXPECT_EQ(rule.find(u'%'), std::u16string::npos) << ToUtf8(rule);
    EXPECT_EQ(t.chinese_font, language != PortUiLanguage::kEnglish);
  }
  EXPECT_EQ(UsbPrinterRule(TextsFor(PortUiLanguage::kEnglish), 1),
            u"The printer whose USB id is 0, 8, 16, ... (USB id divided by 8 leaves 0).");
}

TEST(PortUiTexts, FillTextReplacesOnlyTheMarksItHasArgumentsFor) {
  struct Case {
    const char16_t* text;
    std::u16string expected;
  };
  const Case cases[] = {
      {u"%1 and %2", u"a and b"},
      {u"%2%1", u"ba"},
      {u"%3 stays", u"%3 stays"},
      {u"%0 and %% and 100%", u"%0 and %% and 100%"},
      {u"%%1", u"%a"},
      {u"%1%", u"a%"},
      {u"", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(FillText(c.text, {u"a", u"b"}), c.expected) << ToUtf8(c.text);
}

}  // namespace
}  // namespace kit::monitors
