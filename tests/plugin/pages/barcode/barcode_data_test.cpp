#include "plugin/pages/barcode/barcode_data.h"

#include <gtest/gtest.h>

namespace kit::plugin::barcode {
namespace {

using print::commands::BarcodeType;
using codepage::CodePage;

struct Case {
  BarcodeType type;
  std::string data;
  std::optional<std::string> sent;  // nothing: refused
};

TEST(Check1DData, LengthCharactersAndExtraRulesByType) {
  const std::string max255(255, '7');
  const std::string too_long(256, '7');
  const Case cases[] = {
      {BarcodeType::kUpcA, "12345678901", "12345678901"},
      {BarcodeType::kUpcA, "123456789012", "123456789012"},
      {BarcodeType::kUpcA, "1234567890", std::nullopt},
      {BarcodeType::kUpcA, "1234567890123", std::nullopt},
      {BarcodeType::kUpcA, "12345678901A", std::nullopt},
      {BarcodeType::kUpcE, "023456789012", "023456789012"},
      {BarcodeType::kUpcE, "123456789012", std::nullopt},  // must begin with "0"
      {BarcodeType::kUpcE, "12345678901", std::nullopt},
      // EAN8 and EAN13 are checked by their printer codes' rows.
      {BarcodeType::kEan8, "12345678", "12345678"},
      {BarcodeType::kEan8, "1234567", "1234567"},
      {BarcodeType::kEan8, "123456789", std::nullopt},
      {BarcodeType::kEan13, "1234567890123", "1234567890123"},
      {BarcodeType::kEan13, "12345678", std::nullopt},
      {BarcodeType::kCode39, "123ABC*", "123ABC*"},
      {BarcodeType::kCode39, " $%*+-./0189AZ", " $%*+-./0189AZ"},
      {BarcodeType::kCode39, "abc", std::nullopt},
      {BarcodeType::kCode39, "A,B", std::nullopt},
      {BarcodeType::kCode39, "", std::nullopt},
      {BarcodeType::kItf, "123456789", "123456789"},  // an odd count is admitted
      {BarcodeType::kItf, max255, max255},
      {BarcodeType::kItf, too_long, std::nullopt},
      {BarcodeType::kCodabar, "A123456789A", "A123456789A"},
      {BarcodeType::kCodabar, "D$+-.:/T", "D$+-.:/T"},
      {BarcodeType::kCodabar, "B1*", "B1*"},
      {BarcodeType::kCodabar, "1234", std::nullopt},   // first not A..D
      {BarcodeType::kCodabar, "A1234", std::nullopt},  // last not A..E, N, T, *
      {BarcodeType::kCodabar, "E12A", std::nullopt},
      {BarcodeType::kCodabar, "A1%A", std::nullopt},
      {BarcodeType::kCode93, "123ABC", "123ABC"},
      {BarcodeType::kCode93, std::string("a\0b~", 4), std::string("a\0b~", 4)},
      {BarcodeType::kCode93, "\x80", std::nullopt},
      {BarcodeType::kCode128, "{A1234", "{A1234"},
      {BarcodeType::kCode128, "{C1234", "\x7B\x43\x0C\x22"},
      {BarcodeType::kCode128, "{C00991234{Bab", std::string("{C\x00\x63\x0C\x22{Bab", 10)},
      {BarcodeType::kCode128, "{Bx{C12{Ay", "{Bx{C\x0C{Ay"},
      {BarcodeType::kCode128, "{C", "{C"},
      {BarcodeType::kCode128, "{C123", std::nullopt},  // odd digit count
      {BarcodeType::kCode128, "{C12A4", std::nullopt},
      {BarcodeType::kCode128, "{A1{C1", std::nullopt},
      {BarcodeType::kCode128, "1234", std::nullopt},  // no leading "{"
      {BarcodeType::kCode128, "{D1234", std::nullopt},
      {BarcodeType::kCode128, "{", std::nullopt},
      {BarcodeType::kCode128, "{A\xC4", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << static_cast<int>(c.type) << " " << c.data);
    EXPECT_EQ(Check1DData(c.type, c.data), c.sent);
  }
}

TEST(CheckQrData, OneTo255BytesOfAnyValue) {
  EXPECT_FALSE(CheckQrData(""));
  EXPECT_TRUE(CheckQrData(std::string(1, '\0')));
  EXPECT_TRUE(CheckQrData(std::string(255, '\xFF')));
  EXPECT_FALSE(CheckQrData(std::string(256, 'a')));
  EXPECT_FALSE(CheckQrData(std::string(300, 'a')));
}

TEST(DataBytes, TakesAtMost399CharactersAndCountsConvertedBytes) {
  EXPECT_EQ(DataBytes(std::u16string(400, u'1'), CodePage::kWestern), std::string(399, '1'));
  // A double-byte code page: 399 characters become 798 bytes, too many for any check.
  const std::string gbk = DataBytes(std::u16string(450, u'\u4E2D'), CodePage::kSimplifiedChinese);
  EXPECT_EQ(gbk.size(), 798u);
  EXPECT_EQ(gbk.substr(0, 2), "\xD6\xD0");
  EXPECT_FALSE(Check1DData(BarcodeType::kCode93, gbk).has_value());
  EXPECT_FALSE(CheckQrData(gbk));
  // Outside the code page: the default character.
  EXPECT_EQ(DataBytes(u"A\u4E2DB", CodePage::kWestern), "A?B");
  EXPECT_EQ(DataBytes(u"\u00C9", CodePage::kWestern), "\xC9");
  EXPECT_EQ(AnsiCodePage(936), CodePage::kSimplifiedChinese);
  EXPECT_EQ(AnsiCodePage(1252), CodePage::kWestern);
}

}  // namespace
}  // namespace kit::plugin::barcode
