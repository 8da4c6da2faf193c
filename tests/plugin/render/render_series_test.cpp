// The job on every model of the family, its bands and pages, and the driver
// log's folders.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "plugin/render/core/driver_log.h"
#include "plugin/render/core/render_job.h"
#include "print/fonts/font_table.h"

namespace kit::render::series_test {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr char16_t kSystem[] = u"C:\\Windows\\system32";

struct FakeHost : RenderHost {
  Bytes out;
  bool Write(std::span<const std::uint8_t> b) override { return out.insert(out.end(), b.begin(), b.end()), true; }
  std::optional<Bytes> ReadFile(const std::u16string&) override { return std::nullopt; }
  void AppendFile(const std::u16string&, const std::string&) override {}
  LogTime Now() override { return {}; }
};

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}
Bytes Raster(std::uint8_t x, std::uint8_t y, Bytes data) { return Join({{0x1D, 0x76, 0x30, 0x00, x, 0x00, y, 0x00}, data}); }
std::size_t Count(const Bytes& in, const Bytes& what) {
  std::size_t n = 0;
  for (auto at = in.begin(); (at = std::search(at, in.end(), what.begin(), what.end())) != in.end(); ++at) ++n;
  return n;
}

// Rows of one page, each 8 dots ("1" a printed dot), handed over as the
// driver does: 1-bit rows top-down, 0 black, 4 bytes a row.
struct Page {
  std::vector<std::uint8_t> rows;  // one byte of dots a row
};
Bytes PrintPages(const print::model::Model& model, const PrivateDevMode& record, const std::vector<Page>& pages) {
  Bytes bytes(kPrivateDevModeSize);
  Encode(record, PrivateDevModeSpan(bytes.data(), kPrivateDevModeSize));
  FakeHost host;
  RenderJob job(host, model, ReadSettings(bytes, kSystem), {u"P", u"Doc", u""});
  job.StartDoc();
  for (const Page& page : pages) {
    job.StartPage();
    Bytes band(page.rows.size() * 4, 0xFF);
    for (std::size_t r = 0; r < page.rows.size(); ++r) band[r * 4] = static_cast<std::uint8_t>(~page.rows[r]);
    job.AddBand({band.data(), 4, 8, static_cast<int>(page.rows.size()), 0, 0, false});
    job.EndPage();
  }
  job.EndDoc();
  return host.out;
}

// Each model prints the record's defaults as far as it has the means: the
// drawer pulse where it has a drawer, the feed to the cutter and the cut
// where it has a cutter; a label model feeds across the gap to the next
// label after every page (3 mm: 23 dots at 203 dpi).
TEST(RenderSeries, EveryModelPrintsTheDefaultsItCan) {
  const Bytes drawer = {0x1B, 0x70, 0x00, 0x1E, 0x1E};
  const Bytes feed_and_cut = {0x1D, 0x56, 0x42, 0x00};
  const Bytes row = Raster(1, 1, {0x81});
  struct Case {
    const char* token;
    Bytes bytes;
  };
  const Case cases[] = {
      {"VRTQ40", Join({drawer, row, feed_and_cut})},
      {"VRTD45", Join({drawer, row, feed_and_cut})},
      {"VRTT80", Join({row, feed_and_cut})},
      {"VRTL50", Join({row, {0x1B, 0x4A, 23}})},
      {"VRTE20", Join({row, feed_and_cut})},
  };
  ASSERT_EQ(std::size(cases), print::model::Models().size());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.token);
    EXPECT_EQ(PrintPages(*print::model::FindModel(c.token), DefaultPrivateDevMode(kSystem), {{{0x81}}}), c.bytes);
  }
}

// A label page is the label: after its last printed row the rest of the
// label and the gap are fed, so that every page starts on a label; a blank
// label is fed whole.
TEST(RenderSeries, LabelsOneAPage) {
  const print::model::Model& labels = *print::model::FindModel("VRTL50");
  const PrivateDevMode defaults = DefaultPrivateDevMode(kSystem);
  struct Case {
    const char* name;
    std::vector<Page> pages;
    Bytes bytes;
  };
  const Case cases[] = {
      {"printed to its end", {{{0, 0x80}}}, Join({{0x1B, 0x4A, 1}, Raster(1, 1, {0x80}), {0x1B, 0x4A, 23}})},
      {"10 rows, printed on the second", {{{0, 0x80, 0, 0, 0, 0, 0, 0, 0, 0}}},
       Join({{0x1B, 0x4A, 1}, Raster(1, 1, {0x80}), {0x1B, 0x4A, 8 + 23}})},
      {"two labels", {{{0x80, 0, 0}}, {{0x80, 0, 0}}},
       Join({Raster(1, 1, {0x80}), {0x1B, 0x4A, 2 + 23}, Raster(1, 1, {0x80}), {0x1B, 0x4A, 2 + 23}})},
      {"blank", {{{0, 0, 0, 0}}}, Bytes{0x1B, 0x4A, 4 + 23}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PrintPages(labels, defaults, c.pages), c.bytes);
  }
}

// A label with a line of the printer's text: the paper stands below the
// line or below the last printed row, whichever is lower, and the rest of
// the label is fed from there.
TEST(RenderSeries, LabelsFedFromTheirLastLineOrRow) {
  const print::model::Model& labels = *print::model::FindModel("VRTL50");
  const int line = print::fonts::FindFont(labels, 1)->height;
  constexpr int kRows = 80, kGap = 23, kTextY = 20;
  struct Case {
    const char* name;
    int last_row;  // the page's last printed row
    int fed;       // the feed that ends the page
  };
  const Case cases[] = {
      {"the line below the raster", 1, kRows - (kTextY + line) + kGap},
      {"raster below the line", 70, kRows - 71 + kGap},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes record(kPrivateDevModeSize);
    Encode(DefaultPrivateDevMode(kSystem), PrivateDevModeSpan(record.data(), kPrivateDevModeSize));
    FakeHost host;
    RenderJob job(host, labels, ReadSettings(record, kSystem), {u"P", u"Doc", u""});
    job.StartPage();
    Bytes band(kRows * 4, 0xFF);
    band[1 * 4] = 0x7F;
    band[static_cast<std::size_t>(c.last_row) * 4] = 0x7F;
    job.AddBand({band.data(), 4, 8, kRows, 0, 0, false});
    job.MoveTo(0, kTextY);
    ASSERT_TRUE(job.PrintText(1, u"A"));
    job.EndPage();
    ASSERT_GE(host.out.size(), 3u);
    EXPECT_EQ(Bytes(host.out.end() - 3, host.out.end()), (Bytes{0x1B, 0x4A, static_cast<std::uint8_t>(c.fed)}));
  }
}

// A band's first row is the top of the band; turned by 180 degrees, each
// page keeps its top margin, so consecutive pages keep their gap.
TEST(RenderSeries, BandsTopDownAndTurnedPagesKeepTheirGap) {
  const print::model::Model& q40 = print::model::ReceiptQ40();
  PrivateDevMode record = DefaultPrivateDevMode(kSystem);
  record.StartDocOp.DrawerSelect = 0;
  record.EndDocOp.CutType = 0;
  EXPECT_EQ(PrintPages(q40, record, {{{0x80, 0}}}), Raster(1, 1, {0x80})) << "the band's first row on top";

  // Three blank rows above two printed ones on each of two pages.
  const Page page{{0, 0, 0, 0x80, 0x01, 0}};
  const Bytes top_margin = {0x1B, 0x4A, 3};
  for (int turned : {0, 1}) {
    SCOPED_TRACE(turned ? "turned" : "upright");
    record.Rotate180 = static_cast<std::uint8_t>(turned);
    const Bytes out = PrintPages(q40, record, {page, page});
    EXPECT_EQ(Count(out, Join({top_margin, {0x1D, 0x76, 0x30}})), 2u);
    EXPECT_EQ(Count(out, {0x1D, 0x76, 0x30}), 2u);
  }
}

// The driver log's folders, outermost first: every one below the drive's
// root or the network share, so that a log in a folder whose parent is
// missing is written all the same.
TEST(RenderSeries, TheLogsWholeFolderPath) {
  struct Case {
    std::u16string file;
    std::vector<std::u16string> folders;
  };
  const Case cases[] = {
      {u"C:\\KVRODriverlog\\VRT-Q40(P)\\VRTQ40.log", {u"C:\\KVRODriverlog", u"C:\\KVRODriverlog\\VRT-Q40(P)"}},
      {u"D:\\logs\\VRTQ40.log", {u"D:\\logs"}},
      {u"C:\\VRTQ40.log", {}},
      {u"\\\\till\\share\\logs\\a\\VRTQ40.log", {u"\\\\till\\share\\logs", u"\\\\till\\share\\logs\\a"}},
      {u"\\\\till\\share\\VRTQ40.log", {}},
      {u"logs\\VRTQ40.log", {u"logs"}},
      {u"VRTQ40.log", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(FoldersOfFile(c.file), c.folders);
}

}  // namespace
}  // namespace kit::render::series_test
