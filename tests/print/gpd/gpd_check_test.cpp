#include "print/gpd/gpd_check.h"

#include <gtest/gtest.h>

#include "print/gpd/gpd_writer.h"

namespace kit::print::gpd {
namespace {

std::string Q40() { return WriteGpd(model::ReceiptQ40(), Flavour::kGdi); }

int LineOf(const std::string& text, const std::string& what) {
  const std::size_t at = text.rfind(what);  // a duplicate is found at its second place
  return at == std::string::npos ? -1 : 1 + static_cast<int>(std::count(text.begin(), text.begin() + at, '\n'));
}

TEST(GpdCheck, EveryWrittenFileIsSound) {
  for (const model::Model& m : model::Models()) {
    for (Flavour f : {Flavour::kGdi, Flavour::kStd}) {
      for (const Finding& finding : CheckGpd(WriteGpd(m, f))) ADD_FAILURE() << Describe(FileName(m, f), finding);
    }
  }
}

// One broken file per rule: the sound Q40 file with one text replaced. The
// finding names the rule and the line of the replacement (line 1 for a
// missing entry).
TEST(GpdCheck, OneBrokenFilePerRule) {
  struct Case {
    const char* rule;
    std::string from, to;
    bool at_line_one;
  };
  const Case cases[] = {
      {"braces", "*Option: ROLL2\r\n    {", "*Option: ROLL2\r\n    {\r\n    {", false},
      {"entry", "*MaxCopies: 1", "MaxCopies 1", false},
      {"quote", "\"<1B4A>\" %c", "\"<1B4A> %c", false},
      {"hex", "\"<1B4A>\"", "\"<1B4G>\"", false},
      {"param", "(DestYRel)", "(DestYRelative)", false},
      {"param", "%l{RasterDataWidthInBytes}", "%z{RasterDataWidthInBytes}", false},
      {"parts", "\"<1B4A>\" %c[0,255]{max_repeat(DestYRel)}",
       "\"a\" \"b\" \"c\" \"d\" \"e\" \"f\" \"g\" \"h\" \"i\" \"j\" \"k\" \"l\" \"m\" \"n\" \"o\"", false},
      {"first", "*GPDSpecVersion: \"1.0\"\r\n", "", false},
      {"required", "*ResourceDLL: \"VRTQ40R.DLL\"\r\n", "", true},
      {"required", "*Feature: InputBin", "*Feature: InputTray", true},
      {"required", "CmdSendBlockData", "CmdSendBlock", true},
      {"default", "*DefaultOption: ROLL1", "*DefaultOption: ROLL9", false},
      {"order", "PAGE_FINISH.1", "PAGE_SETUP.1", false},
      {"order", "DOC_FINISH.1", "DOC_END.1", false},
      {"printable", "*PrintableArea: PAIR(395, 2104)", "*PrintableArea: PAIR(396, 2104)", false},
      {"fonts", "*DeviceFonts: LIST(15,", "*DeviceFonts: (15,", false},
      {"fonts", "*DeviceFonts: LIST(15, 16,", "*DeviceFonts: LIST(15, 15,", false},
      {"fonts", "*DeviceFonts: LIST(15, 16,", "*DeviceFonts: LIST(15, x16,", false},
      {"fonts", "*DeviceFonts: LIST(15, 16,", "*DeviceFonts: LIST(15, 0,", false},
      {"fonts", "*ResourceDLL: \"VRTQ40R.DLL\"", "*ResourceDLL: \"UniRes.dll\"", false},
      {"fonts", "CmdXMoveAbsolute", "CmdXMoveRelRight", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.rule) + ": " + c.to);
    std::string text = Q40();
    const std::size_t at = text.find(c.from);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, c.from.size(), c.to);
    const auto findings = CheckGpd(text);
    ASSERT_FALSE(findings.empty());
    const auto hit = std::find_if(findings.begin(), findings.end(), [&](const Finding& f) { return f.rule == c.rule; });
    ASSERT_NE(hit, findings.end()) << Describe("Q40", findings.front());
    if (c.at_line_one) {
      if (c.rule == std::string("fonts")) {
        EXPECT_EQ(hit->line, LineOf(text, "*DeviceFonts"));
      } else {
        EXPECT_EQ(hit->line, 1);
      }
    } else if (!c.to.empty()) {
      // The line of the replaced text (the second brace for the braces case).
      const int line = LineOf(text, c.to) + (c.rule == std::string("braces") ? 2 : 0);
      EXPECT_EQ(hit->line, line);
    }
  }
}

// The paper sizes: one broken file per rule, the sound Q40 file (a 395-dot
// line on 55.8 mm paper, rolls up to 4095.8 mm) with one entry changed. The
// finding names the rule and stands on the line of `at`.
TEST(GpdCheck, PaperSizeRules) {
  struct Case {
    const char* rule;
    std::string from, to, at;
  };
  const Case cases[] = {
      {"minsize", "*MinSize: PAIR(203, 159)", "*MinSize: PAIR(396, 159)", "*MinSize:"},
      {"minsize", "*MinSize: PAIR(203, 159)", "*MinSize: PAIR(203, 29026)", "*MinSize:"},
      // Narrower than the roll (and than its own line), shorter than the longest roll.
      {"maxsize", "*MaxSize: PAIR(395, 29025)", "*MaxSize: PAIR(394, 29025)", "*MaxSize:"},
      {"maxsize", "*MaxSize: PAIR(395, 29025)", "*MaxSize: PAIR(394, 29025)", "*MaxPrintableWidth:"},
      {"maxsize", "*MaxSize: PAIR(395, 29025)", "*MaxSize: PAIR(395, 29024)", "*MaxSize:"},
      // A named size printing wider than the line.
      {"line", "*MaxPrintableWidth: 395", "*MaxPrintableWidth: 394", "*PrintableArea: PAIR(395, 2104)"},
  };
  const std::string sound = Q40();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.to + " at " + c.at);
    std::string text = sound;
    const std::size_t at = text.find(c.from);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, c.from.size(), c.to);
    const std::size_t line_at = text.find(c.at);
    ASSERT_NE(line_at, std::string::npos);
    const int line = 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(line_at), '\n'));
    const auto findings = CheckGpd(text);
    EXPECT_TRUE(std::any_of(findings.begin(), findings.end(),
                            [&](const Finding& f) { return f.rule == c.rule && f.line == line; }))
        << (findings.empty() ? std::string("no finding") : Describe("Q40", findings.front()));
  }
  EXPECT_TRUE(CheckGpd(sound).empty());
}

// The STD flavour's default font must be one it lists.
TEST(GpdCheck, DefaultFontIsListed) {
  std::string text = WriteGpd(model::ReceiptQ40(), Flavour::kStd);
  EXPECT_TRUE(CheckGpd(text).empty());
  const std::string from = "*DefaultFont: 1\r\n";
  const std::size_t at = text.find(from);
  ASSERT_NE(at, std::string::npos);
  text.replace(at, from.size(), "*DefaultFont: 25\r\n");
  const auto findings = CheckGpd(text);
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings.front().rule, "fonts");
  EXPECT_EQ(findings.front().line, LineOf(text, "*DefaultFont"));
}

// Which fonts each flavour lists: the STD flavour all of the model's, the
// GDI flavour only those that are printer commands.
TEST(GpdWriter, DeviceFontsPerFlavour) {
  const std::vector<int> text_and_commands = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12,
                                              13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24};
  EXPECT_EQ(DeviceFontIdsOf(model::ReceiptQ40(), Flavour::kStd), text_and_commands);
  EXPECT_EQ(DeviceFontIdsOf(model::ReceiptQ40(), Flavour::kGdi),
            (std::vector<int>{15, 16, 17, 18, 19, 20, 21, 22, 23, 24}));
  const model::Model& t80 = *model::FindModel("VRTT80");
  EXPECT_EQ(DeviceFontIdsOf(t80, Flavour::kStd).size(), 14u);
  EXPECT_TRUE(DeviceFontIdsOf(t80, Flavour::kGdi).empty());
  EXPECT_EQ(WriteGpd(t80, Flavour::kGdi).find("*DeviceFonts"), std::string::npos);
  EXPECT_NE(WriteGpd(model::ReceiptQ40(), Flavour::kGdi).find("*DeviceFonts: LIST(15, 16, 17"), std::string::npos);
}

}  // namespace
}  // namespace kit::print::gpd
