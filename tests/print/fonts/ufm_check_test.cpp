#include "print/fonts/ufm_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "print/fonts/ufm_layout.h"
#include "print/fonts/ufm_writer.h"
#include "print/gpd/gpd_writer.h"

namespace kit::print::fonts {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t U32(const Bytes& b, std::size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | b[at + 3] << 24; }
std::uint16_t U16(const Bytes& b, std::size_t at) { return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8); }
void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void Put16(Bytes& b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

Bytes Ufm(const model::Model& m, int id) {
  const FontList list = FontsOf(m);
  return WriteUfm(m, list, *FindFont(m, id));
}

TEST(UfmCheck, EveryWrittenFileIsSound) {
  for (const model::Model& m : model::Models()) {
    const FontList list = FontsOf(m);
    for (const PrinterFont& f : list.fonts) {
      const Bytes ufm = WriteUfm(m, list, f);
      for (const UfmFinding& finding : CheckUfm(ufm, m.dots_per_inch)) ADD_FAILURE() << Describe(UfmFileName(m, f), finding);
      EXPECT_EQ(FaceNameOf(ufm), std::u16string(f.name.begin(), f.name.end()));
      EXPECT_EQ(WriteUfm(m, list, f), ufm) << "the same bytes on every run";
    }
  }
}

// The byte layout of one file, FontA22 of the Q40 (id 4): the header, the
// Unidrv information with its commands, the IFIMETRICS' figures.
TEST(UfmCheck, ByteLayout) {
  const Bytes b = Ufm(model::ReceiptQ40(), 4);
  EXPECT_EQ(U32(b, 0), b.size());
  EXPECT_EQ(U32(b, 4), 0x10000u);
  EXPECT_EQ(U32(b, 8), 437u);
  EXPECT_EQ(static_cast<std::int32_t>(U32(b, 12)), -1);  // CC_CP437
  const std::size_t uni = U32(b, 16), ifi = U32(b, 20);
  EXPECT_EQ(uni, 44u);
  EXPECT_EQ(U32(b, 24) | U32(b, 28) | U32(b, 32), 0u);  // no extended metrics, widths or kerning
  EXPECT_EQ(U16(b, uni + 12), 180);
  EXPECT_EQ(U16(b, uni + 14), 180);
  const std::size_t select = uni + U32(b, uni + 28), select_count = U32(b, uni + 24);
  EXPECT_EQ(Bytes(b.begin() + select, b.begin() + select + select_count),
            (Bytes{0x1B, 0x21, 0x00, 0x1D, 0x21, 0x11, 0x1B, 0x74, 0x00}));
  const std::size_t unselect = uni + U32(b, uni + 36);
  EXPECT_EQ(Bytes(b.begin() + unselect, b.begin() + unselect + U32(b, uni + 32)),
            (Bytes{0x1D, 0x21, 0x00, 0x1B, 0x21, 0x00}));
  EXPECT_EQ(ifi, uni + U32(b, uni));
  EXPECT_EQ(b[ifi + 44], 255);                          // OEM_CHARSET
  EXPECT_EQ(U16(b, ifi + 56), 48);                      // em: 24 dots twice
  EXPECT_EQ(U16(b, ifi + 60), 38);                      // ascender: 19 twice
  EXPECT_EQ(U16(b, ifi + 62), 10);
  EXPECT_EQ(U16(b, ifi + 76), 24);                      // average and widest: 12 twice
  EXPECT_EQ(U16(b, ifi + 78), 24);
  EXPECT_EQ(U16(b, ifi + U32(b, ifi + 16)), 'F');       // face name "FontA22"
}

// The resource script of each model: two comment lines, then one line a
// font, "<id> 260 "<file>"", in the font table's order. 260 is RC_UFM, the
// resource type Unidrv looks a device font's metrics up by (the WDK's
// unirc.h; RC_GTT is 261).
TEST(UfmCheck, ResourceScriptLayout) {
  struct Case {
    const char* token;
    std::size_t fonts;
    const char* first;
    const char* last;
  };
  const Case cases[] = {
      {"VRTQ40", 24, "1 260 \"VRTQ40_01.UFM\"", "24 260 \"VRTQ40_24.UFM\""},
      {"VRTD45", 14, "1 260 \"VRTD45_01.UFM\"", "14 260 \"VRTD45_14.UFM\""},
      {"VRTT80", 14, "1 260 \"VRTT80_01.UFM\"", "14 260 \"VRTT80_14.UFM\""},
      {"VRTL50", 14, "1 260 \"VRTL50_01.UFM\"", "14 260 \"VRTL50_14.UFM\""},
      {"VRTE20", 14, "1 260 \"VRTE20_01.UFM\"", "14 260 \"VRTE20_14.UFM\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.token);
    const model::Model* m = model::FindModel(c.token);
    ASSERT_NE(m, nullptr);
    const std::string script = WriteResourceScript(*m);
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = script.find("\r\n", at)) != std::string::npos; at = end + 2) {
      lines.push_back(script.substr(at, end - at));
    }
    ASSERT_EQ(lines.size(), 2 + c.fonts);
    EXPECT_EQ(lines[0].rfind("// ", 0), 0u);
    EXPECT_EQ(lines[1].rfind("// ", 0), 0u);
    EXPECT_EQ(lines[2], c.first);
    EXPECT_EQ(lines.back(), c.last);
    const FontList list = FontsOf(*m);
    for (std::size_t i = 0; i < c.fonts; ++i) {
      EXPECT_EQ(lines[2 + i], std::to_string(list.fonts[i].resource_id) + " 260 \"" + UfmFileName(*m, list.fonts[i]) + "\"");
    }
  }
}

// One broken file per rule: a sound file with one field changed; the check
// names the rule.
TEST(UfmCheck, OneBrokenFilePerRule) {
  using namespace ufm;
  const Bytes sound = Ufm(model::ReceiptQ40(), 1);
  const std::size_t uni = U32(sound, kHdrLoUnidrvInfo), ifi = U32(sound, kHdrLoIfiMetrics);
  struct Case {
    const char* rule;
    const char* what;
    std::function<void(Bytes&)> broken;
    int dpi = 0;
  };
  const Case cases[] = {
      {"size", "a header shorter than its structure", [](Bytes& b) { b.resize(20); }},
      {"size", "a size that is not the file's", [](Bytes& b) { Put32(b, kHdrDwSize, U32(b, kHdrDwSize) + 4); }},
      {"size", "version 2", [](Bytes& b) { Put32(b, kHdrVersion, 0x20000); }},
      {"offset", "the IFIMETRICS past the end", [](Bytes& b) { Put32(b, kHdrLoIfiMetrics, static_cast<std::uint32_t>(b.size())); }},
      {"offset", "the Unidrv information inside the header", [](Bytes& b) { Put32(b, kHdrLoUnidrvInfo, 8); }},
      {"offset", "a width table off its alignment", [](Bytes& b) { Put32(b, kHdrLoWidthTable, 46); }},
      {"unidrv", "a size past the file", [&](Bytes& b) { Put32(b, uni + kUniDwSize, 100000); }},
      {"unidrv", "a select command past the structure", [&](Bytes& b) { Put32(b, uni + kUniSelectFont + 4, 200); }},
      {"unidrv", "an unselect command longer than the structure", [&](Bytes& b) { Put32(b, uni + kUniUnSelectFont, 90); }},
      {"unidrv", "203 dpi metrics for a 180 dpi model", [&](Bytes& b) { Put16(b, uni + kUniXRes, 203); }, 180},
      {"ifi", "a size past the file", [&](Bytes& b) { Put32(b, ifi + kIfiCjThis, 100000); }},
      {"ifi", "a face name inside the structure", [&](Bytes& b) { Put32(b, ifi + kIfiFaceName, 8); }},
      {"ifi", "a family name past the structure", [&](Bytes& b) { Put32(b, ifi + kIfiFamilyName, 5000); }},
      {"ifi", "an empty face name", [&](Bytes& b) { Put16(b, ifi + U32(b, ifi + kIfiFaceName), 0); }},
      {"codepage", "code page 850 with the 437 conversion", [](Bytes& b) { Put32(b, kHdrDefaultCodepage, 850); }},
      {"codepage", "a translation table not carried", [](Bytes& b) { Put32(b, kHdrGlyphSetDataRcId, 3); }},
      {"codepage", "no conversion", [](Bytes& b) { Put32(b, kHdrGlyphSetDataRcId, 0); }},
      {"codepage", "the ANSI character set on page 437", [&](Bytes& b) { b[ifi + kIfiWinCharSet] = kAnsiCharset; }},
      {"metrics", "ascent and descent not the em", [&](Bytes& b) { Put16(b, ifi + kIfiWinAscender, 30); }},
      {"metrics", "no constant width without a width table", [&](Bytes& b) { Put16(b, ifi + kIfiMaxCharInc, 13); }},
      {"metrics", "the first character after the last", [&](Bytes& b) { Put16(b, ifi + kIfiWcFirstChar, 0xFFFF); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.rule) + ": " + c.what);
    Bytes b = sound;
    c.broken(b);
    const auto findings = CheckUfm(b, c.dpi);
    ASSERT_FALSE(findings.empty());
    EXPECT_TRUE(std::any_of(findings.begin(), findings.end(), [&](const UfmFinding& f) { return f.rule == c.rule; }))
        << Describe("broken", findings.front());
    if (c.dpi == 0) EXPECT_FALSE(FaceNameOf(b).has_value());  // any resolution serves a face name
  }
}

// The "listed" rule: every font the GPD lists carried once under its own name.
TEST(UfmCheck, ListedFonts) {
  const model::Model& q40 = model::ReceiptQ40();
  std::map<int, Bytes> carried;
  for (const PrinterFont& f : FontsOf(q40).fonts) carried[f.resource_id] = Ufm(q40, f.resource_id);
  for (gpd::Flavour flavour : {gpd::Flavour::kGdi, gpd::Flavour::kStd}) {
    const std::vector<int> listed = DeviceFontIds(gpd::WriteGpd(q40, flavour));
    EXPECT_FALSE(listed.empty());
    EXPECT_TRUE(CheckFontList(listed, carried).empty());
  }
  struct Case {
    const char* what;
    std::vector<int> listed;
    std::function<void(std::map<int, Bytes>&)> change;
  };
  const Case cases[] = {
      {"a font listed, not carried", {1, 99}, [](auto&) {}},
      {"a font listed twice", {1, 2, 1}, [](auto&) {}},
      {"two ids with one face", {1, 2}, [](auto& c) { c[2] = c[1]; }},
  };
  for (const Case& c : cases) {
    auto files = carried;
    c.change(files);
    const auto findings = CheckFontList(c.listed, files);
    ASSERT_EQ(findings.size(), 1u) << c.what;
    EXPECT_EQ(findings.front().rule, "listed") << c.what;
  }
  EXPECT_EQ(DeviceFontIds("*GPDSpecVersion: \"1.0\"\r\n*DeviceFonts: LIST(3, 14,15)\r\n"), (std::vector<int>{3, 14, 15}));
}

}  // namespace
}  // namespace kit::print::fonts
