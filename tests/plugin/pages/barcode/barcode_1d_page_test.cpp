#include "plugin/pages/barcode/barcode_1d_page.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <utility>

#include "plugin/pages/barcode/font_height.h"
#include "tests/plugin/pages/barcode/barcode_page_fixture.h"

namespace kit::plugin::barcode {
namespace {

using Bytes = std::vector<std::uint8_t>;

class Barcode1DPageTest : public testing::BarcodePageTest {};

TEST(FontHeight, RoundsToHalfPointsInDouble) {
  struct Case {
    std::uint32_t height;
    std::uint8_t position, font;
    std::uint32_t total;
    double points;
    std::uint32_t preview;
  };
  const Case cases[] = {
      {163, 2, 0, 187, 75.0, 187},  // 74.8 -> up
      {82, 2, 0, 106, 42.5, 106},   // 42.4 -> half (exactly .4, not the double just below)
      {42, 1, 0, 66, 26.5, 66},     // 26.4 -> half: 66 dots stay 66
      {163, 0, 0, 163, 65.0, 162},  // 65.2 -> down
      {4, 1, 1, 21, 8.5, 21},       // 8.4 -> half
      {163, 3, 1, 197, 79.0, 197},  // 78.8 -> up
      {1, 0, 0, 1, 0.5, 1},         // 0.4 -> half
      {0, 0, 0, 0, 0.0, 2},         // rounds to 0: kept at 2
      {5, 0, 0, 5, 2.0, 5},         // 2.0
      {6, 0, 0, 6, 2.5, 6},         // 2.4 -> half
      {9, 0, 0, 9, 3.5, 8},         // 3.6 -> half
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.total);
    const FontHeight h = ComputeFontHeight(c.height, c.position, c.font);
    EXPECT_EQ(h.total, c.total);
    EXPECT_EQ(h.points, c.points);
    EXPECT_EQ(h.preview_height, c.preview);
  }
  // Exact halves of a tenth, which x87 and SSE builds once showed apart.
  for (const auto& [dots, text] : {std::pair{187u, u" 26.4"}, {135u, u" 19.1"}, {315u, u" 44.5"}, {45u, u"  6.4"},
                                   {0u, u"  0.0"}, {1000u, u"141.1"}}) {
    EXPECT_EQ(MillimetreText(dots), text) << dots;
  }
  EXPECT_EQ(PointText(75.0), u" 75.0");
  EXPECT_EQ(PointText(42.0), u" 42.0");
}

// Every height the page allows (element height 1 to 255, each HRI position
// and font), against the exact tenths of total * 72 / 180 points: .4 up to
// .7 is a half point, .7 and above the next whole one. Integers only, so the
// same answer in every build, x87 at any precision or SSE2 (a double
// product put 5k + 1 dots a hair below .4 for some totals).
TEST(FontHeight, EveryHeightOfThePageRoundsByExactTenths) {
  for (std::uint32_t height = 1; height <= 255; ++height) {
    for (std::uint8_t position = 0; position <= 3; ++position) {
      for (std::uint8_t font = 0; font <= 1; ++font) {
        const FontHeight h = ComputeFontHeight(height, position, font);
        const std::uint32_t tenths = h.total * 4 % 10;
        std::uint32_t halves = h.total * 4 / 10 * 2;
        if (tenths >= 4) halves += tenths < 7 ? 1 : 2;
        ASSERT_EQ(h.points * 2, halves) << h.total;
        const std::uint32_t preview = halves * 5 / 4;
        ASSERT_EQ(h.preview_height, preview == 0 ? 2 : preview) << h.total;
        // Millimetres of the total and of the stored height: total * 254 /
        // 180 tenths, a half tenth up, printed as "%5.1f" would.
        for (const std::uint32_t dots : {h.total, h.preview_height}) {
          const std::uint32_t mm_tenths = (dots * 254 + 90) / 180;
          char want[16];
          std::snprintf(want, sizeof want, "%5.1f", mm_tenths / 10 + (mm_tenths % 10) / 10.0);
          ASSERT_EQ(MillimetreText(dots), std::u16string(want, want + std::strlen(want))) << dots;
        }
      }
    }
  }
}

TEST_F(Barcode1DPageTest, OpensOnFontOneAndStoresNothing) {
  const PrivateDevModeBytes before = bytes_;
  Barcode1DPage page(Context(), Recorder());
  ui::headless::Dialog d(page, env_);
  d.Create();
  EXPECT_EQ(d.ItemCount(kFontComboId), 8);
  EXPECT_EQ(d.ItemText(kFontComboId, 7), u"1D Code8");
  EXPECT_EQ(d.ItemCount(kTypeComboId), 9);
  EXPECT_EQ(d.Selection(kTypeComboId), 0);
  EXPECT_EQ(d.Text(kData1DEditId), u"123456789012");
  EXPECT_EQ(d.Text(kWidthEditId), u"3");
  EXPECT_EQ(d.Text(kHeightEditId), u"163");
  EXPECT_EQ(d.Text(kMillimetreDisplayId), u" 23.0");  // the stored 163 dots
  EXPECT_EQ(d.Text(kPointDisplayId), u" 65.0");  // 65.2 rounded
  EXPECT_EQ(d.ItemText(kHriPositionComboId, 3), u"Both above and below the barcode");
  EXPECT_FALSE(d.IsEnabled(kFontARadioId));
  EXPECT_FALSE(d.IsVisible(kGs1GroupId));
  EXPECT_EQ(d.Text(kWidthLabelId), u"Element Width:");
  EXPECT_EQ(ChangeCount(d), 0);
  EXPECT_EQ(bytes_, before);
  // Choosing another font loads it, and stores nothing either.
  ASSERT_TRUE(d.Select(kFontComboId, 2));
  EXPECT_EQ(d.Selection(kTypeComboId), 3);
  EXPECT_EQ(d.Text(kData1DEditId), u"1234567890123");
  EXPECT_EQ(ChangeCount(d), 0);
  EXPECT_EQ(bytes_, before);
}

TEST_F(Barcode1DPageTest, Code93ExamplePrintsTheWholeByteString) {
  Barcode1DPage page(Context(), Recorder());
  ui::headless::Dialog d(page, env_);
  d.Create();
  ASSERT_TRUE(d.Select(kFontComboId, 6));  // "1D Code7": Code93
  ASSERT_EQ(d.Selection(kTypeComboId), 7);
  ASSERT_TRUE(d.Select(kHriPositionComboId, 2));
  EXPECT_TRUE(d.IsEnabled(kFontARadioId));
  ASSERT_TRUE(d.Click(kFontARadioId));
  EXPECT_EQ(d.Text(kMillimetreDisplayId), u" 26.4");
  EXPECT_EQ(d.Text(kPointDisplayId), u" 75.0");
  ASSERT_TRUE(d.Type(kData1DEditId, u"123456789"));
  ASSERT_TRUE(d.Click(kPrint1DButtonId));
  ASSERT_EQ(jobs_.size(), 1u);
  EXPECT_EQ(jobs_[0].name, u"Barcode");
  Bytes expected = {0x1D, 0x66, 0x00, 0x1D, 0x48, 0x02, 0x1D, 0x77, 0x03, 0x1D, 0x68, 0xA3, 0x1D, 0x6B, 0x48,
                    0x00, 0x1D, 0x77, 0x03, 0x1D, 0x68, 0xA3, 0x1D, 0x6B, 0x48, 0x09,
                    '1', '2', '3', '4', '5', '6', '7', '8', '9', 0x00, 0x0A};
  EXPECT_EQ(Joined(jobs_[0]), expected);
  const auto r = Record().Barcode1D[6];
  EXPECT_EQ(r.HriPosition, 2);
  EXPECT_EQ(r.HriFont, 0);
  EXPECT_EQ(r.PreviewHeight, 187u);
  EXPECT_GE(ChangeCount(d), 2);
}

TEST_F(Barcode1DPageTest, ClampsTheWidthAndHeight) {
  Barcode1DPage page(Context(), Recorder());
  ui::headless::Dialog d(page, env_);
  d.Create();
  struct Case {
    int edit;
    const char16_t* typed;
    std::uint32_t stored;
  };
  const Case cases[] = {
      {kWidthEditId, u"9", 6}, {kWidthEditId, u"1", 2}, {kWidthEditId, u"4", 4},
      {kHeightEditId, u"", 1}, {kHeightEditId, u"0", 1}, {kHeightEditId, u"300", 255}, {kHeightEditId, u"82", 82},
  };
  int changes = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.typed, c.typed + std::char_traits<char16_t>::length(c.typed)));
    ASSERT_TRUE(d.Type(c.edit, c.typed));
    const auto r = Record().Barcode1D[0];
    if (c.edit == kWidthEditId) {
      EXPECT_EQ(r.ModuleWidth, c.stored);
      EXPECT_EQ(r.ModuleWidthX8, c.stored * 8);
      EXPECT_EQ(d.Position(kWidthSpinId), static_cast<int>(c.stored));
    } else {
      EXPECT_EQ(r.Height, c.stored);
      if (*c.typed != u'\0') {
        EXPECT_EQ(d.Position(kHeightSpinId), static_cast<int>(c.stored));
      }
    }
    EXPECT_GT(ChangeCount(d), changes);
    changes = ChangeCount(d);
  }
  // An emptied edit stays empty while the user types; the spin stores too.
  ASSERT_TRUE(d.Type(kHeightEditId, u""));
  EXPECT_EQ(d.Text(kHeightEditId), u"");
  ASSERT_TRUE(d.MoveTo(kWidthSpinId, 5));
  EXPECT_EQ(Record().Barcode1D[0].ModuleWidth, 5);
  ASSERT_TRUE(d.Type(kHeightEditId, u"82"));
  // Height 82 with the HRI below in Font A: total 106 -> 42.4, so 42.5 points, 106 dots.
  ASSERT_TRUE(d.Select(kHriPositionComboId, 2));
  EXPECT_EQ(d.Text(kPointDisplayId), u" 42.5");
  EXPECT_EQ(Record().Barcode1D[0].PreviewHeight, 106u);
}

TEST_F(Barcode1DPageTest, ChecksTheDataBeforeAnyJob) {
  Barcode1DPage page(Context(), Recorder());
  ui::headless::Dialog d(page, env_);
  d.Create();
  ASSERT_TRUE(d.Select(kTypeComboId, 1));  // UPC-E
  EXPECT_EQ(Record().Barcode1D[0].Symbology, 1);
  EXPECT_EQ(d.Text(kData1DEditId), u"023456789012");
  ASSERT_TRUE(d.Type(kData1DEditId, u"123456789012"));
  ASSERT_TRUE(d.Click(kPrint1DButtonId));
  EXPECT_TRUE(jobs_.empty());
  ASSERT_EQ(env_.MessageBoxes().size(), 1u);
  EXPECT_EQ(env_.MessageBoxes()[0].text, u"BarCode data error!");
  EXPECT_EQ(env_.MessageBoxes()[0].caption, u"Error");
  EXPECT_EQ(env_.MessageBoxes()[0].style, ui::kMbOk | ui::kMbIconError);

  // EAN13 sends 02, EAN8 03.
  ASSERT_TRUE(d.Select(kTypeComboId, 3));
  ASSERT_TRUE(d.Click(kPrint1DButtonId));
  ASSERT_TRUE(d.Select(kTypeComboId, 2));
  ASSERT_TRUE(d.Click(kPrint1DButtonId));
  // Code128 sends the packed bytes after their length.
  ASSERT_TRUE(d.Select(kTypeComboId, 8));
  ASSERT_TRUE(d.Type(kData1DEditId, u"{C1234"));
  ASSERT_TRUE(d.Click(kPrint1DButtonId));
  // A character outside the code page becomes '?', which Code39 refuses.
  ASSERT_TRUE(d.Select(kTypeComboId, 4));
  ASSERT_TRUE(d.Type(kData1DEditId, u"AB\u4E2D"));
  ASSERT_TRUE(d.Click(kPrint1DButtonId));
  ASSERT_EQ(jobs_.size(), 3u);
  EXPECT_EQ(Joined(jobs_[0])[14], 0x02);
  EXPECT_EQ(Joined(jobs_[1])[14], 0x03);
  const Bytes code128 = Joined(jobs_[2]);
  EXPECT_EQ(Bytes(code128.begin() + 25, code128.begin() + 30), (Bytes{0x04, 0x7B, 0x43, 0x0C, 0x22}));
  EXPECT_EQ(env_.MessageBoxes().size(), 2u);
}

TEST_F(Barcode1DPageTest, AFontsStoredHeightShowsItsRoundedPointSize) {
  struct Case {
    std::uint32_t stored;
    const char16_t* millimetres;
    const char16_t* points;
  };
  const Case cases[] = {
      {66, u"  9.3", u" 26.5"},   // 26.4 -> half
      {187, u" 26.4", u" 75.0"},  // 74.8 -> up
      {163, u" 23.0", u" 65.0"},  // 65.2 -> down
      {105, u" 14.8", u" 42.0"},  // 42.0 as it is
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    PrivateDevMode record = Record();
    record.Barcode1D[3].PreviewHeight = c.stored;
    Store(record);
    Barcode1DPage page(Context(), Recorder());
    ui::headless::Dialog d(page, env_);
    d.Create();
    ASSERT_TRUE(d.Select(kFontComboId, 3));
    EXPECT_EQ(d.Text(kMillimetreDisplayId), c.millimetres);
    EXPECT_EQ(d.Text(kPointDisplayId), c.points);
  }
}

TEST_F(Barcode1DPageTest, ValuesOutOfRangeShowAndPrintValidButStayUntilChanged) {
  PrivateDevMode record = Record();
  auto& r = record.Barcode1D[1];
  r.Symbology = 200;
  r.ModuleWidth = 9;
  r.Height = 300;
  r.HriPosition = 4;
  r.HriFont = 7;
  Store(record);
  const PrivateDevModeBytes before = bytes_;
  Barcode1DPage page(Context(), Recorder());
  ui::headless::Dialog d(page, env_);
  d.Create();
  ASSERT_TRUE(d.Select(kFontComboId, 1));
  EXPECT_EQ(d.Selection(kTypeComboId), 1);  // the font's default, UPC-E
  EXPECT_EQ(d.Text(kWidthEditId), u"6");
  EXPECT_EQ(d.Text(kHeightEditId), u"255");
  EXPECT_EQ(d.Selection(kHriPositionComboId), 0);
  EXPECT_TRUE(d.IsChecked(kFontARadioId));
  ASSERT_TRUE(d.Click(kPrint1DButtonId));
  EXPECT_EQ(bytes_, before);
  EXPECT_EQ(ChangeCount(d), 0);
  ASSERT_EQ(jobs_.size(), 1u);
  EXPECT_EQ(Bytes(jobs_[0].pieces[0].begin(), jobs_[0].pieces[0].end()),
            (Bytes{0x1D, 0x66, 0x00, 0x1D, 0x48, 0x00, 0x1D, 0x77, 0x06, 0x1D, 0x68, 0xFF, 0x1D, 0x6B, 0x01}));
}

TEST_F(Barcode1DPageTest, AHostWithoutRecordOrChannelSendsNothing) {
  document_.lParamInit = 0;
  Barcode1DPage page(Context(), TestPrint{});
  ui::headless::Dialog d(page, env_);
  d.Create();
  EXPECT_EQ(d.Text(kHeightEditId), u"163");
  ASSERT_TRUE(d.Type(kWidthEditId, u"5"));
  ASSERT_TRUE(d.Click(kPrint1DButtonId));
  EXPECT_EQ(ChangeCount(d), 0);
  EXPECT_TRUE(env_.MessageBoxes().empty());
}

}  // namespace
}  // namespace kit::plugin::barcode
