#include "common/codepage/codepage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kit::codepage {
namespace {

// "中文" in code page 936 and "中文" in code page 950 (the same two characters).
constexpr char kZhongWen936[] = "\xD6\xD0\xCE\xC4";
constexpr char kZhongWen950[] = "\xA4\xA4\xA4\xE5";
constexpr char16_t kZhongWen[] = u"\u4E2D\u6587";

TEST(AnsiCodePages, DecodeAndEncodeTheKitsThreeCodePages) {
  EXPECT_EQ(AnsiToUtf16(kZhongWen936, CodePage::kSimplifiedChinese), kZhongWen);
  EXPECT_EQ(AnsiToUtf16(kZhongWen950, CodePage::kTraditionalChinese), kZhongWen);
  EXPECT_EQ(Utf16ToAnsi(kZhongWen, CodePage::kSimplifiedChinese), kZhongWen936);
  EXPECT_EQ(Utf16ToAnsi(kZhongWen, CodePage::kTraditionalChinese), kZhongWen950);
  // 1252: Latin-1 letters and the euro sign in the 0x80 block.
  EXPECT_EQ(AnsiToUtf16("caf\xE9 \x80", CodePage::kWestern), u"caf\u00E9 \u20AC");
  EXPECT_EQ(Utf16ToAnsi(u"caf\u00E9 \u20AC", CodePage::kWestern), "caf\xE9 \x80");
  EXPECT_EQ(AnsiToUtf8(kZhongWen936, CodePage::kSimplifiedChinese), "\xE4\xB8\xAD\xE6\x96\x87");
  EXPECT_EQ(Utf8ToAnsi("\xE4\xB8\xAD\xE6\x96\x87", CodePage::kTraditionalChinese), kZhongWen950);
}

TEST(AnsiCodePages, The1252HolesRoundTripAsWindowsMapsThem) {
  // Windows maps the five bytes 1252 leaves undefined to U+0081 and so on,
  // and back; a file holding them survives a rewrite unchanged.
  const std::string holes = "\x81\x8D\x8F\x90\x9D";
  EXPECT_EQ(AnsiToUtf16(holes, CodePage::kWestern), u"\u0081\u008D\u008F\u0090\u009D");
  EXPECT_EQ(Utf16ToAnsi(AnsiToUtf16(holes, CodePage::kWestern), CodePage::kWestern), holes);
}

TEST(AnsiCodePages, EveryByteOf1252AndTheCommonChineseCharactersRoundTrip) {
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::u16string western = AnsiToUtf16(all, CodePage::kWestern);
  ASSERT_EQ(western.size(), all.size());
  EXPECT_EQ(western[0x80 - 1], u'\u20AC');
  EXPECT_EQ(western[0x9F - 1], u'\u0178');
  EXPECT_EQ(Utf16ToAnsi(western, CodePage::kWestern), all);

  // The GB2312 block of code page 936 and the common-character block of
  // code page 950: every pair decodes to one character and encodes back.
  struct Block {
    CodePage code_page;
    int first_lead, last_lead;
    std::vector<std::pair<int, int>> trails;
  };
  const Block blocks[] = {
      {CodePage::kSimplifiedChinese, 0xB0, 0xD6, {{0xA1, 0xFE}}},
      {CodePage::kTraditionalChinese, 0xA4, 0xC5, {{0x40, 0x7E}, {0xA1, 0xFE}}},
  };
  for (const Block& block : blocks) {
    std::string bytes;
    for (int lead = block.first_lead; lead <= block.last_lead; ++lead) {
      for (const auto& [first, last] : block.trails) {
        for (int trail = first; trail <= last; ++trail) {
          bytes.push_back(static_cast<char>(lead));
          bytes.push_back(static_cast<char>(trail));
        }
      }
    }
    const std::u16string wide = AnsiToUtf16(bytes, block.code_page);
    EXPECT_EQ(wide.size(), bytes.size() / 2) << static_cast<unsigned>(block.code_page);
    EXPECT_EQ(wide.find(kReplacementCharacter), std::u16string::npos);
    EXPECT_EQ(Utf16ToAnsi(wide, block.code_page), bytes) << static_cast<unsigned>(block.code_page);
  }
}

// One table of cases, run by the Linux build against its own conversion and
// by the Windows build (under Wine in CI) against MultiByteToWideChar and
// WideCharToMultiByte, so that the two cannot drift apart.
struct ConversionCase {
  const char* name;
  CodePage code_page;
  std::u16string text;
  std::string bytes;
  enum Direction { kBoth, kEncodeOnly, kDecodeOnly } direction = kBoth;
};

const ConversionCase kConversionCases[] = {
    // Best fit: a character the code page lacks becomes a similar one.
    {"1252: ideographic space becomes a space", CodePage::kWestern, u"a\u3000b", "a b",
     ConversionCase::kEncodeOnly},
    {"1252: A with macron becomes A", CodePage::kWestern, u"\u0100\u0101", "Aa",
     ConversionCase::kEncodeOnly},
    {"1252: full-width letters become ASCII", CodePage::kWestern, u"\uFF01\uFF5E", "!~",
     ConversionCase::kEncodeOnly},
    {"936: cent sign becomes the full-width one", CodePage::kSimplifiedChinese, u"\u00A2",
     "\xA1\xE9", ConversionCase::kEncodeOnly},
    {"936: feminine ordinal becomes a", CodePage::kSimplifiedChinese, u"\u00AA", "a",
     ConversionCase::kEncodeOnly},
    {"936: circled ideograph one becomes the ideograph", CodePage::kSimplifiedChinese, u"\u3280",
     "\xD2\xBB", ConversionCase::kEncodeOnly},
    {"950: yen sign becomes the full-width one", CodePage::kTraditionalChinese, u"\u00A5",
     "\xA2\x44", ConversionCase::kEncodeOnly},
    {"950: a with macron becomes ?", CodePage::kTraditionalChinese, u"\u0101", "?",
     ConversionCase::kEncodeOnly},
    // Characters outside the code page: one '?' per UTF-16 code unit.
    {"1252: a Chinese character", CodePage::kWestern, u"a\u4E2Db", "a?b",
     ConversionCase::kEncodeOnly},
    {"1252: a surrogate pair is two code units", CodePage::kWestern, u"x\U0001F600y", "x??y",
     ConversionCase::kEncodeOnly},
    {"936: a surrogate pair is two code units", CodePage::kSimplifiedChinese, u"x\U0001F600y",
     "x??y", ConversionCase::kEncodeOnly},
    {"950: a surrogate pair is two code units", CodePage::kTraditionalChinese,
     u"\U00020000", "??", ConversionCase::kEncodeOnly},
    {"1252: unpaired surrogates", CodePage::kWestern, std::u16string{u'a', char16_t(0xD800), u'b', char16_t(0xDC00)}, "a?b?",
     ConversionCase::kEncodeOnly},
    // Both ways.
    {"1252: euro sign and y with diaeresis", CodePage::kWestern, u"\u20AC\u0178", "\x80\x9F"},
    {"1252: the five undefined bytes are C1 controls", CodePage::kWestern,
     u"\u0081\u008D\u008F\u0090\u009D", "\x81\x8D\x8F\x90\x9D"},
    {"936: the single-byte euro sign", CodePage::kSimplifiedChinese, u"\u20AC", "\x80"},
    {"936: ideographic space and middle dot", CodePage::kSimplifiedChinese, u"\u3000\u00B7",
     "\xA1\xA1\xA1\xA4"},
    {"936: user-defined area", CodePage::kSimplifiedChinese, u"\uE000", "\xAA\xA1"},
    {"936: GBK extension and PUA-mapped characters", CodePage::kSimplifiedChinese,
     u"\u4E02\uE766\uE810", "\x81\x40\xA2\xAB\xD7\xFA"},
    {"950: ideographic space and the user-defined area", CodePage::kTraditionalChinese,
     u"\u3000\uE000\uEEB8", "\xA1\x40\xFA\x40\x81\x40"},
    {"950: characters Windows maps apart from Big5 tables", CodePage::kTraditionalChinese,
     u"\u2027\uFFE3\uFF5E\u2550\u2593", "\xA1\x45\xA1\xC3\xA1\xE3\xF9\xF9\xF9\xFE"},
    // Bytes the code page does not map.
    {"936: byte FF", CodePage::kSimplifiedChinese, u"\uF8F5", "\xFF", ConversionCase::kDecodeOnly},
    {"950: bytes 80 and FF", CodePage::kTraditionalChinese, u"\u0080\uF8F8", "\x80\xFF",
     ConversionCase::kDecodeOnly},
    {"936: a lead byte cut at the end", CodePage::kSimplifiedChinese, u"ab?", "ab\xD6",
     ConversionCase::kDecodeOnly},
    {"950: a lead byte cut at the end", CodePage::kTraditionalChinese, u"ab?", "ab\xA4",
     ConversionCase::kDecodeOnly},
    {"936: a lead byte takes a byte that cannot trail it", CodePage::kSimplifiedChinese,
     u"?xyz", "\xD6\x01xyz", ConversionCase::kDecodeOnly},
    {"936: an unmapped pair", CodePage::kSimplifiedChinese, u"?", "\x81\x7F",
     ConversionCase::kDecodeOnly},
    {"950: a lead byte before NUL leaves the NUL", CodePage::kTraditionalChinese,
     std::u16string(u"?\0x", 3), std::string("\xA4\0x", 3), ConversionCase::kDecodeOnly},
};

TEST(AnsiCodePages, ConvertAsWindowsDoes) {
  for (const ConversionCase& c : kConversionCases) {
    if (c.direction != ConversionCase::kDecodeOnly) {
      EXPECT_EQ(Utf16ToAnsi(c.text, c.code_page), c.bytes) << c.name;
    }
    if (c.direction != ConversionCase::kEncodeOnly) {
      EXPECT_EQ(AnsiToUtf16(c.bytes, c.code_page), c.text) << c.name;
    }
  }
}

// A digest of the whole of a code page's conversion: every UTF-16 code unit
// encoded alone, every byte and every pair of bytes with a first byte from
// 0x80 up decoded alone. The values are those of Windows' conversion as
// Wine 8.0 gives it; both builds must give them.
std::uint64_t WholeCodePageDigest(CodePage code_page) {
  constexpr std::uint64_t kFnvOffset = 14695981039346656037ull;
  constexpr std::uint64_t kFnvPrime = 1099511628211ull;
  std::uint64_t hash = kFnvOffset;
  const auto mix = [&hash](unsigned value) {
    hash = (hash ^ value) * kFnvPrime;
  };
  for (unsigned unit = 0; unit <= 0xFFFF; ++unit) {
    for (const char byte : Utf16ToAnsi(std::u16string(1, static_cast<char16_t>(unit)), code_page)) {
      mix(static_cast<unsigned char>(byte));
    }
    mix(0x100);
  }
  for (unsigned first = 0; first <= 0xFF; ++first) {
    for (unsigned second = 0; second <= (first < 0x80 ? 0 : 0xFF); ++second) {
      std::string bytes(1, static_cast<char>(first));
      if (first >= 0x80) bytes.push_back(static_cast<char>(second));
      for (const char16_t unit : AnsiToUtf16(bytes, code_page)) mix(unit);
      mix(0x10000);
    }
  }
  return hash;
}

TEST(AnsiCodePages, EveryCharacterConvertsAsOnWindows) {
  const std::pair<CodePage, std::uint64_t> recorded[] = {
      {CodePage::kSimplifiedChinese, 0xb3ec457b1484a0c6ull},
      {CodePage::kTraditionalChinese, 0xc0317d896dccba00ull},
      {CodePage::kWestern, 0xac9774baf8e71545ull},
  };
  for (const auto& [code_page, digest] : recorded) {
    EXPECT_EQ(WholeCodePageDigest(code_page), digest)
        << "code page " << static_cast<unsigned>(code_page) << std::hex << " digest 0x"
        << WholeCodePageDigest(code_page);
  }
}

TEST(AnsiCodePages, BadBytesBecomeOneReplacementEachAndTheRestSurvives) {
  // A lead byte cut at the end, and a lead byte followed by a byte that
  // cannot trail it (the exact results are in the table above).
  for (const CodePage cp : {CodePage::kSimplifiedChinese, CodePage::kTraditionalChinese}) {
    const std::u16string cut = AnsiToUtf16("ab\xD6", cp);
    ASSERT_GE(cut.size(), 3u);
    EXPECT_EQ(cut.substr(0, 2), u"ab");
    EXPECT_NE(cut[2], u'\0');
    const std::u16string bad = AnsiToUtf16("\xD6\x01xyz", cp);
    ASSERT_FALSE(bad.empty());
    EXPECT_EQ(bad.substr(bad.size() - 3), u"xyz");
    EXPECT_EQ(bad.find(u'\0'), std::u16string::npos);
  }
}

TEST(AnsiCodePages, CharactersTheCodePageLacksBecomeQuestionMarks) {
  EXPECT_EQ(Utf16ToAnsi(u"a\u4E2Db", CodePage::kWestern), "a?b");
  EXPECT_EQ(Utf16ToAnsi(u"x\U0001F600y", CodePage::kSimplifiedChinese).front(), 'x');
  EXPECT_EQ(Utf16ToAnsi(u"x\U0001F600y", CodePage::kSimplifiedChinese).back(), 'y');
  // An unpaired surrogate, alone and at the end.
  const std::u16string lone = {u'a', char16_t(0xD800), u'b', char16_t(0xDC00)};
  const std::string encoded = Utf16ToAnsi(lone, CodePage::kWestern);
  EXPECT_EQ(encoded.front(), 'a');
  EXPECT_NE(encoded.find('b'), std::string::npos);
  EXPECT_EQ(Utf16ToAnsi(std::u16string(1, char16_t(0xD83D)), CodePage::kWestern), "?");
}

TEST(AnsiCodePages, EmptyAndLongInputs) {
  EXPECT_EQ(AnsiToUtf16("", CodePage::kSimplifiedChinese), u"");
  EXPECT_EQ(Utf16ToAnsi(u"", CodePage::kTraditionalChinese), "");
  std::string many;
  for (int i = 0; i < 5000; ++i) many += kZhongWen936;
  const std::u16string wide = AnsiToUtf16(many, CodePage::kSimplifiedChinese);
  EXPECT_EQ(wide.size(), 10000u);
  EXPECT_EQ(Utf16ToAnsi(wide, CodePage::kSimplifiedChinese), many);
}

TEST(Utf8, DecodesWellFormedTextIncludingSupplementaryCharacters) {
  EXPECT_EQ(Utf8ToUtf16("A\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80"), u"A\u00E9\u4E2D\U0001F600");
  EXPECT_EQ(Utf16ToUtf8(u"A\u00E9\u4E2D\U0001F600"), "A\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80");
  EXPECT_TRUE(IsValidUtf8(""));
  EXPECT_TRUE(IsValidUtf8("plain"));
  EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF"));  // U+10FFFF
}

TEST(Utf8, MalformedSequencesBecomeReplacementsPerBadSubpart) {
  struct Case {
    const char* bytes;
    std::u16string expected;
  };
  const Case cases[] = {
      {"\xC0\xAF", u"\uFFFD\uFFFD"},           // overlong '/'
      {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},  // overlong, three bytes
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // an encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
      {"a\xE4\xB8", u"a\uFFFD"},                 // cut at the end
      {"\xE4\xB8x", u"\uFFFDx"},                 // cut before an ASCII byte
      {"\x80z", u"\uFFFDz"},                     // a stray continuation byte
      {"\xFF", u"\uFFFD"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf8ToUtf16(c.bytes), c.expected) << c.bytes;
    EXPECT_FALSE(IsValidUtf8(c.bytes)) << c.bytes;
  }
}

TEST(Utf8, UnpairedSurrogatesEncodeAsReplacement) {
  const std::u16string lone = {char16_t(0xDC00), u'x', char16_t(0xD800)};
  EXPECT_EQ(Utf16ToUtf8(lone), "\xEF\xBF\xBDx\xEF\xBF\xBD");
}

TEST(CodePageForLanguage, ChineseLanguagesPickTheirCodePages) {
  EXPECT_EQ(CodePageForLanguage(0x0804), CodePage::kSimplifiedChinese);
  EXPECT_EQ(CodePageForLanguage(0x0404), CodePage::kTraditionalChinese);
  EXPECT_EQ(CodePageForLanguage(0x0C04), CodePage::kTraditionalChinese);
  EXPECT_EQ(CodePageForLanguage(0x1004), CodePage::kTraditionalChinese);
  EXPECT_EQ(CodePageForLanguage(0x0409), CodePage::kWestern);
  EXPECT_EQ(CodePageForLanguage(0x0411), CodePage::kWestern);
}

}  // namespace
}  // namespace kit::codepage
