// Each receipt option of a job, as IPP names it, changes the job's printer
// bytes as stated: one table, a two-page job of one black row a page.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "printapp/receipt_encoder.h"

namespace kit::printapp {
namespace {

using Pattern = std::vector<std::uint8_t>;

const Pattern kRaster{0x1D, 0x76, 0x30};
const Pattern kFeedPartialCut{0x1D, 0x56, 0x42, 0x00};
const Pattern kFeedFullCut{0x1D, 0x56, 0x41, 0x00};
const Pattern kAnyCut{0x1D, 0x56};
const Pattern kDrawer60{0x1B, 0x70, 0x00, 30, 30};
const Pattern kDrawer10{0x1B, 0x70, 0x00, 5, 5};
const Pattern kAnyDrawer{0x1B, 0x70};
const Pattern kBeep3{0x1B, 0x42, 3, 2};
const Pattern kLogo2Centred{0x1B, 0x61, 0x01, 0x1C, 0x70, 0x02, 0x00, 0x1B, 0x61, 0x00};

Bytes TwoPageJob(const std::map<std::string, std::string>& values, bool trim) {
  const OptionLookup lookup = [&](std::string_view name) -> std::optional<std::string> {
    const auto it = values.find(std::string(name));
    if (it == values.end()) return std::nullopt;
    return it->second;
  };
  const print::model::Model& model = print::model::ReceiptQ40();
  ReceiptEncoder encoder(model, EventsOf(ParseJobOptions(lookup, trim)));
  encoder.StartJob();
  const std::vector<std::uint8_t> black(50, 0xFF), white(50, 0);
  for (int page = 0; page < 2; ++page) {
    EXPECT_EQ(encoder.StartPage(395, 3), PageCheck::kOk);
    encoder.AddLine(white);
    encoder.AddLine(black);
    encoder.AddLine(white);
    encoder.EndPage();
  }
  encoder.EndJob();
  return encoder.TakeBytes();
}

// Where each pattern stands in the bytes, in order of appearance.
std::vector<std::size_t> Positions(const Bytes& bytes, const Pattern& pattern) {
  std::vector<std::size_t> at;
  for (auto it = bytes.begin(); (it = std::search(it, bytes.end(), pattern.begin(), pattern.end())) != bytes.end(); ++it) {
    at.push_back(static_cast<std::size_t>(it - bytes.begin()));
  }
  return at;
}

struct Row {
  const char* what;
  std::map<std::string, std::string> values;
  bool trim;
  std::vector<std::pair<Pattern, std::size_t>> counts;  // pattern, how many times
  std::vector<Pattern> order;                            // first occurrences in this order
};

TEST(JobBytes, EachReceiptOptionChangesTheBytesAsStated) {
  const std::vector<Row> rows{
      {"defaults: drawer 60 ms first, feed and partial cut last", {}, false,
       {{kDrawer60, 1}, {kFeedPartialCut, 1}, {kRaster, 2}}, {kDrawer60, kRaster, kFeedPartialCut}},
      {"an unknown keyword keeps the default", {{"cut-mode", "sometimes"}}, false, {{kFeedPartialCut, 1}}, {}},
      {"cut-type=full", {{"cut-type", "full"}}, false, {{kFeedFullCut, 1}, {kFeedPartialCut, 0}}, {}},
      {"cut-mode=per-page", {{"cut-mode", "per-page"}}, false, {{kFeedPartialCut, 2}}, {kRaster, kFeedPartialCut}},
      {"finishings=trim cuts every page", {}, true, {{kFeedPartialCut, 2}}, {}},
      {"cut-mode=none", {{"cut-mode", "none"}}, false, {{kAnyCut, 0}}, {}},
      {"cash-drawer=none", {{"cash-drawer", "none"}}, false, {{kAnyDrawer, 0}}, {}},
      {"cash-drawer=after, 10 ms", {{"cash-drawer", "after"}, {"drawer-pulse", "pulse-10ms"}}, false,
       {{kDrawer10, 1}, {kDrawer60, 0}}, {kFeedPartialCut, kDrawer10}},
      {"buzzer=beep-3 after the cut", {{"buzzer", "beep-3"}}, false, {{kBeep3, 1}}, {kFeedPartialCut, kBeep3}},
      {"logo 2 centred at the top", {{"logo", "logo-2"}, {"logo-align", "center"}}, false,
       {{kLogo2Centred, 1}}, {kLogo2Centred, kDrawer60, kRaster}},
      {"logo 2 centred at the bottom, before the cut",
       {{"logo", "logo-2"}, {"logo-align", "center"}, {"logo-position", "bottom"}}, false,
       {{kLogo2Centred, 1}}, {kRaster, kLogo2Centred, kFeedPartialCut}},
      {"a logo per page with a cut per page",
       {{"logo", "logo-2"}, {"logo-align", "center"}, {"cut-mode", "per-page"}}, false, {{kLogo2Centred, 2}}, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const Bytes bytes = TwoPageJob(row.values, row.trim);
    for (const auto& [pattern, count] : row.counts) EXPECT_EQ(Positions(bytes, pattern).size(), count);
    for (std::size_t i = 1; i < row.order.size(); ++i) {
      const auto before = Positions(bytes, row.order[i - 1]), after = Positions(bytes, row.order[i]);
      ASSERT_FALSE(before.empty());
      ASSERT_FALSE(after.empty());
      EXPECT_LT(before.front(), after.front());
    }
  }
}

TEST(JobOptionsTest, PrinterDefaultsTakeOnlyOfferedValues) {
  struct Case {
    const char* model;
    std::map<std::string, std::string> values;
    std::optional<std::string_view> refused;
  };
  const Case cases[] = {
      {"VRT-Q40", {}, std::nullopt},
      {"VRT-Q40", {{"cut-mode", "none"}, {"buzzer", "beep-20"}, {"logo", "logo-9"}}, std::nullopt},
      {"VRT-Q40", {{"cut-mode", "bogus"}}, "cut-mode"},
      {"VRT-Q40", {{"logo", "logo-99"}}, "logo"},
      {"VRT-Q40", {{"logo", "logo-0"}}, "logo"},
      {"VRT-Q40", {{"buzzer", ""}}, "buzzer"},               // empty is no keyword
      {"VRT-Q40", {{"cut-mode", "None"}}, "cut-mode"},         // keywords are lower case
      {"VRT-Q40", {{"cut-mode", "per-job "}}, "cut-mode"},     // nor padded
      {"VRT-Q40", {{"cut-mode", "none"}, {"logo", "x"}}, "logo"},  // a good value beside a bad one
      {"VRT-Q40", {{"not-an-option", "bogus"}}, std::nullopt},     // names no option: left to PAPPL
  };
  for (const Case& c : cases) {
    const print::model::Model* model = print::model::FindModel(c.model);
    ASSERT_NE(model, nullptr);
    const OptionLookup lookup = [&](std::string_view name) -> std::optional<std::string> {
      const auto it = c.values.find(std::string(name));
      if (it == c.values.end()) return std::nullopt;
      return it->second;
    };
    const std::vector<VendorOption> options = OptionsOf(*model);
    EXPECT_EQ(UnsupportedValue(options, lookup), c.refused) << (c.values.empty() ? "" : c.values.begin()->second);
  }
}

TEST(JobBytes, APageWiderThanTheLineIsItsMiddleAndALongPageIsRefused) {
  // The 80 mm model prints 576 of the 639 dots of its paper: the margins'
  // 31 dots on the left are left out, so dot 31 is the line's first.
  const print::model::Model& model = *print::model::FindModel("VRT-D45");
  ReceiptEncoder encoder(model, {});
  ASSERT_EQ(encoder.StartPage(639, 1), PageCheck::kOk);
  std::vector<std::uint8_t> line(80, 0);
  line[3] = 0x01;  // dot 31
  encoder.AddLine(line);
  encoder.EndPage();
  const Bytes bytes = encoder.TakeBytes();
  const Pattern block{0x1D, 0x76, 0x30, 0x00, 0x01, 0x00, 0x01, 0x00, 0x80};
  EXPECT_EQ(Positions(bytes, block).size(), 1u);
  EXPECT_EQ(encoder.StartPage(639, MaxPageRows(model) + 1), PageCheck::kTooLong);
  EXPECT_EQ(encoder.StartPage(0, 10), PageCheck::kEmpty);
}

// The printer's bytes of a job without event operations, as a list:
// "feed N" for each run of feeds, "raster R" for each block of R rows,
// "|" between pages.
std::string FeedsAndBlocks(const print::model::Model& model, const std::vector<std::string>& pages, unsigned width) {
  ReceiptEncoder encoder(model, {});
  std::string out;
  for (const std::string& rows : pages) {
    if (&rows != &pages.front()) out += "| ";
    EXPECT_EQ(encoder.StartPage(width, static_cast<unsigned>(rows.size())), PageCheck::kOk);
    for (const char c : rows) {
      // '#': a dot in the line's first column; 'm': a dot only in the
      // paper's left margin (beyond the printed line); '.': white.
      std::vector<std::uint8_t> line((width + 7) / 8, 0);
      if (c == '#') line[width > static_cast<unsigned>(model.printable_width_dots) ? 4 : 0] = 0x80;
      if (c == 'm') line[0] = 0x80;
      encoder.AddLine(line);
    }
    encoder.EndPage();
    const Bytes bytes = encoder.TakeBytes();
    unsigned feed = 0;
    for (std::size_t i = 0; i < bytes.size();) {
      if (bytes[i] == 0x1B && i + 2 < bytes.size() && bytes[i + 1] == 0x4A) {
        feed += bytes[i + 2];
        i += 3;
        continue;
      }
      if (feed) out += "feed " + std::to_string(feed) + " ";
      feed = 0;
      if (bytes[i] != 0x1D || i + 8 > bytes.size()) {
        ADD_FAILURE() << "unexpected byte " << int(bytes[i]);
        break;
      }
      const unsigned x = bytes[i + 4] | bytes[i + 5] << 8, y = bytes[i + 6] | bytes[i + 7] << 8;
      out += "raster " + std::to_string(y) + " ";
      i += 8 + std::size_t{x} * y;
    }
    if (feed) out += "feed " + std::to_string(feed) + " ";
  }
  return out;
}

TEST(JobBytes, ARollPageStartsAtItsFirstDotAndEndsAtItsLast) {
  struct Case {
    const char* what;
    const char* model;
    unsigned width;
    std::vector<std::string> pages;
    std::string expected;
  };
  const Case cases[] = {
      {"white above and below the print dropped on every page", "VRT-Q40", 395, {"...#...", "..#."},
       "raster 1 | raster 1 "},
      {"white between printed rows fed", "VRT-Q40", 395, {"..#..#"}, "raster 1 feed 2 raster 1 "},
      {"a white page sends nothing", "VRT-Q40", 395, {"....", ".#"}, "| raster 1 "},
      // The 80 mm model's paper is 639 dots, its line 576: a dot in the
      // left margin is not printed, so that row is white too.
      {"a row with dots only in the margin is white", "VRT-D45", 639, {"mm.#"}, "raster 1 "},
      {"a label keeps its white above the print", "VRT-L50", 400, {"...#.", ".#"}, "feed 3 raster 1 | feed 1 raster 1 "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const print::model::Model* model = print::model::FindModel(c.model);
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(FeedsAndBlocks(*model, c.pages, c.width), c.expected);
  }
}

}  // namespace
}  // namespace kit::printapp
