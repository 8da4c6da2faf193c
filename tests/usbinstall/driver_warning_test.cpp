#include "usbinstall/driver_warning.h"

#include <gtest/gtest.h>

#include <vector>

namespace kit::usbinstall {
namespace {

void PutWord(std::vector<std::uint8_t>* bytes, std::uint16_t word) {
  bytes->push_back(static_cast<std::uint8_t>(word & 0xFF));
  bytes->push_back(static_cast<std::uint8_t>(word >> 8));
}

void PutText(std::vector<std::uint8_t>* bytes, std::u16string_view text) {
  for (const char16_t c : text) PutWord(bytes, c);
  PutWord(bytes, 0);
}

// A DLGTEMPLATE header (18 bytes) or a DLGTEMPLATEEX header (26 bytes).
std::vector<std::uint8_t> Header(bool extended) {
  if (!extended) return std::vector<std::uint8_t>(18, 0);
  std::vector<std::uint8_t> bytes(26, 0);
  bytes[0] = 1;  // version 1, signature 0xFFFF
  bytes[2] = 0xFF;
  bytes[3] = 0xFF;
  return bytes;
}

TEST(DriverWarningTest, CaptionFollowsMenuAndClassInEitherTemplateForm) {
  for (const bool extended : {false, true}) {
    auto plain = Header(extended);
    PutWord(&plain, 0);  // no menu
    PutWord(&plain, 0);  // standard class
    PutText(&plain, u"Hardware Installation");
    EXPECT_EQ(DialogTemplateCaption(plain.data(), plain.size()), u"Hardware Installation") << extended;

    auto ordinals = Header(extended);
    PutWord(&ordinals, 0xFFFF);  // menu by ordinal
    PutWord(&ordinals, 7);
    PutWord(&ordinals, 0xFFFF);  // class by ordinal
    PutWord(&ordinals, 0x0080);
    PutText(&ordinals, u"Windows Security");
    EXPECT_EQ(DialogTemplateCaption(ordinals.data(), ordinals.size()), u"Windows Security") << extended;

    auto names = Header(extended);
    PutText(&names, u"MENU");
    PutText(&names, u"#32770");
    PutText(&names, u"Software Installation");
    EXPECT_EQ(DialogTemplateCaption(names.data(), names.size()), u"Software Installation") << extended;
  }
}

TEST(DriverWarningTest, ShortOrUnterminatedTemplatesStayInsideTheirBytes) {
  EXPECT_EQ(DialogTemplateCaption(nullptr, 0), u"");
  auto header = Header(false);
  EXPECT_EQ(DialogTemplateCaption(header.data(), 10), u"");
  EXPECT_EQ(DialogTemplateCaption(header.data(), header.size()), u"");
  auto cut = Header(true);
  PutText(&cut, u"An endless menu name");
  cut.pop_back();
  cut.pop_back();  // no terminator
  EXPECT_EQ(DialogTemplateCaption(cut.data(), cut.size()), u"");
  auto odd = Header(false);
  PutWord(&odd, 0);
  PutWord(&odd, 0);
  PutWord(&odd, u'A');
  odd.push_back(u'B');  // half a character at the end
  EXPECT_EQ(DialogTemplateCaption(odd.data(), odd.size()), u"A");
}

TEST(DriverWarningTest, ConfirmButtonIsMarkedByYOrCAsSecondOrNextToLastCharacter) {
  EXPECT_TRUE(IsConfirmButtonText("&Yes"));
  EXPECT_TRUE(IsConfirmButtonText("&Continue Anyway"));
  EXPECT_TRUE(IsConfirmButtonText("\xCA\xC7(&Y)"));          // 是(&Y) in code page 936
  EXPECT_TRUE(IsConfirmButtonText("\xBC\xCC\xD0\xF8(&C)"));  // 继续(&C)
  EXPECT_FALSE(IsConfirmButtonText("&No"));
  EXPECT_FALSE(IsConfirmButtonText("&Stop Installation"));
  EXPECT_FALSE(IsConfirmButtonText("&yes"));  // the letter's case counts
  EXPECT_FALSE(IsConfirmButtonText("Y"));
  EXPECT_FALSE(IsConfirmButtonText(""));
}

}  // namespace
}  // namespace kit::usbinstall
