#include "common/hex/hex_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kit {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(HexTextToBytes, ReadsTheDocumentedExamples) {
  EXPECT_EQ(HexTextToBytes(u"1D 56 42 00"), (Bytes{0x1D, 0x56, 0x42, 0x00}));
  EXPECT_EQ(HexTextToBytes(u"A 0D"), (Bytes{0x0A, 0x0D}));
  EXPECT_EQ(HexTextToBytes(u"ABC"), (Bytes{0xAB, 0x0C}));
  EXPECT_EQ(HexTextToBytes(u"1d"), (Bytes{0x1D}));
  EXPECT_EQ(HexTextToBytes(u""), Bytes{});
  EXPECT_EQ(HexTextToBytes(u"   "), Bytes{});
}

TEST(HexTextToBytes, PairsAndSingleDigitsFollowTheSpaces) {
  // Leading, repeated and trailing spaces are skipped.
  EXPECT_EQ(HexTextToBytes(u"  1B  40 "), (Bytes{0x1B, 0x40}));
  // A digit before a space, or at the very end, is a byte of its own.
  EXPECT_EQ(HexTextToBytes(u"F 1 2"), (Bytes{0x0F, 0x01, 0x02}));
  EXPECT_EQ(HexTextToBytes(u"1B4"), (Bytes{0x1B, 0x04}));
  // Pairs are taken from the left without regard to where a byte "should" end.
  EXPECT_EQ(HexTextToBytes(u"1B401"), (Bytes{0x1B, 0x40, 0x01}));
  EXPECT_EQ(HexTextToBytes(u"ff FF fF"), (Bytes{0xFF, 0xFF, 0xFF}));
}

TEST(HexTextToBytes, NonHexCharactersCountAsZero) {
  // Pasted text passes the input filter; its stray characters read as 0.
  EXPECT_EQ(HexTextToBytes(u"G1"), (Bytes{0x01}));
  EXPECT_EQ(HexTextToBytes(u"1G"), (Bytes{0x10}));
  EXPECT_EQ(HexTextToBytes(u"-.\t"), (Bytes{0x00, 0x00}));
  // Only the plain space separates; a tab is a character worth 0.
  EXPECT_EQ(HexTextToBytes(u"1\t2"), (Bytes{0x10, 0x02}));
  // Full-width and other non-ASCII characters are not digits.
  EXPECT_EQ(HexTextToBytes(u"\uFF11\uFF21"), (Bytes{0x00}));
  // A UTF-16 unit whose low byte looks like a digit is still not a digit.
  EXPECT_EQ(HexTextToBytes(u"\u0141\u0131"), (Bytes{0x00}));
  // Narrow text with bytes above 127 (a DBCS code page) alike.
  EXPECT_EQ(HexTextToBytes(std::string_view("\xB1\xA1 1", 4)), (Bytes{0x00, 0x01}));
}

TEST(HexTextToBytes, NarrowAndWideTextAgree) {
  for (const char* text : {"1D 56 42 00", "A 0D", "ABC", " x9 Zq ", "0", "1 2 3 4 5"}) {
    const std::string narrow(text);
    const std::u16string wide(narrow.begin(), narrow.end());
    EXPECT_EQ(HexTextToBytes(narrow), HexTextToBytes(wide)) << text;
  }
}

TEST(HexTextToCommand, AcceptsUpTo128BytesAndRefusesMore) {
  std::u16string text;
  for (int i = 0; i < 128; ++i) text += u"7F ";
  const auto fits = HexTextToCommand(text);
  ASSERT_TRUE(fits.has_value());
  EXPECT_EQ(fits->length, 128u);
  EXPECT_EQ(fits->bytes.front(), 0x7F);
  EXPECT_EQ(fits->bytes.back(), 0x7F);

  text += u"1";  // a 129th byte of one digit
  EXPECT_EQ(HexTextToBytes(text).size(), 129u);
  EXPECT_FALSE(HexTextToCommand(text).has_value());

  // The longest text a command box holds describes 200 bytes, and is refused.
  const std::u16string longest(kCommandTextCapacity - 1, u'A');
  EXPECT_EQ(HexTextToBytes(longest).size(), 200u);
  EXPECT_FALSE(HexTextToCommand(longest).has_value());
}

TEST(HexTextToCommand, ZeroesTheRestOfTheStoredBytes) {
  const auto command = HexTextToCommand(std::string_view("1D 56 42 00"));
  ASSERT_TRUE(command.has_value());
  EXPECT_EQ(command->length, 4u);
  EXPECT_EQ(Bytes(command->used().begin(), command->used().end()), (Bytes{0x1D, 0x56, 0x42, 0x00}));
  for (std::size_t i = 4; i < kMaxCommandBytes; ++i) ASSERT_EQ(command->bytes[i], 0) << i;

  const auto empty = HexTextToCommand(u"");
  ASSERT_TRUE(empty.has_value());
  EXPECT_EQ(empty->length, 0u);
}

TEST(BytesToHexText, ShowsTwoUpperCaseDigitsAndASpacePerByte) {
  const Bytes command{0x1D, 0x56, 0x42, 0x00};
  EXPECT_EQ(BytesToHexText(command), u"1D 56 42 00 ");
  EXPECT_EQ(BytesToHexTextA(command), "1D 56 42 00 ");
  EXPECT_EQ(BytesToHexText(Bytes{0x0A, 0xAB, 0xFF, 0x01}), u"0A AB FF 01 ");
  EXPECT_EQ(BytesToHexText(Bytes{}), u"");
}

TEST(BytesToHexText, EveryByteValueSurvivesTheRoundTrip) {
  Bytes all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<std::uint8_t>(b));
  EXPECT_EQ(HexTextToBytes(BytesToHexText(all)), all);
  EXPECT_EQ(HexTextToBytes(BytesToHexTextA(all)), all);
  // A stored command shown and stored again is unchanged.
  const auto shown = BytesToHexText(Bytes{0x1D, 0x56, 0x42, 0x00});
  const auto again = HexTextToCommand(shown);
  ASSERT_TRUE(again.has_value());
  EXPECT_EQ(BytesToHexText(again->used()), shown);
}

}  // namespace
}  // namespace kit
