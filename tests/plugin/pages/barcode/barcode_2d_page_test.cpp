#include "plugin/pages/barcode/barcode_2d_page.h"

#include "plugin/pages/barcode/barcode_1d_page.h"

#include "tests/plugin/pages/barcode/barcode_page_fixture.h"

namespace kit::plugin::barcode {
namespace {

using Bytes = std::vector<std::uint8_t>;

class Barcode2DPageTest : public testing::BarcodePageTest {};

TEST_F(Barcode2DPageTest, OpensWithTheRecordAndStoresNothing) {
  const PrivateDevModeBytes before = bytes_;
  Barcode2DPage page(Context(), Recorder());
  ui::headless::Dialog d(page, env_);
  d.Create();
  EXPECT_EQ(d.Text(kPoint2DDisplayId), u"9.5");
  EXPECT_FALSE(d.IsEnabled(kPoint2DDisplayId));
  EXPECT_EQ(d.ItemText(kFont2DComboId, 0), u"2D Code1");
  EXPECT_EQ(d.ItemText(kType2DComboId, 0), u"QR Code");
  EXPECT_EQ(d.ItemText(kLanguageModeComboId, 1), u"Japanese");
  EXPECT_EQ(d.ItemText(kErrorLevelComboId, 3), u"Q");
  EXPECT_EQ(d.ItemText(kPdf417ErrorComboId, 8), u"Error Correction Level 8");
  EXPECT_FALSE(d.IsVisible(kPdf417GroupId));
  EXPECT_FALSE(d.IsVisible(kGs12DGroupId));
  EXPECT_EQ(d.Text(kQrWidthEditId), u"3");
  EXPECT_EQ(d.Selection(kModelComboId), 0);
  EXPECT_EQ(d.Selection(kErrorLevelComboId), 1);
  EXPECT_EQ(d.Text(kData2DEditId), u"01234567890123");
  EXPECT_TRUE(d.IsEnabled(kPrint2DButtonId));
  EXPECT_EQ(ChangeCount(d), 0);
  EXPECT_EQ(bytes_, before);
}

TEST_F(Barcode2DPageTest, StoresEachChoiceAndPrintsIt) {
  {
    Barcode2DPage page(Context(), Recorder());
    ui::headless::Dialog d(page, env_);
    d.Create();
    ASSERT_TRUE(d.Type(kQrWidthEditId, u"30"));
    EXPECT_EQ(Record().Barcode2D[0].QrModuleSize, 24);
    EXPECT_EQ(d.Position(kQrWidthSpinId), 24);
    ASSERT_TRUE(d.Type(kQrWidthEditId, u""));
    EXPECT_EQ(Record().Barcode2D[0].QrModuleSize, 1);
    EXPECT_EQ(d.Text(kQrWidthEditId), u"");
    ASSERT_TRUE(d.MoveTo(kQrWidthSpinId, 12));
    EXPECT_EQ(Record().Barcode2D[0].QrModuleSize, 12);
    ASSERT_TRUE(d.Type(kQrWidthEditId, u"8"));
    ASSERT_TRUE(d.Select(kModelComboId, 1));
    ASSERT_TRUE(d.Select(kLanguageModeComboId, 1));
    ASSERT_TRUE(d.Select(kErrorLevelComboId, 3));
    const auto r = Record().Barcode2D[0];
    EXPECT_EQ(r.QrModel, 2);
    EXPECT_EQ(r.QrLanguageMode, 1);
    EXPECT_EQ(r.QrErrorLevel, 3);
    // Seven changes; the spin click is heard twice, as on Windows: its
    // edit's new text (EN_CHANGE) and the spin's own scroll.
    EXPECT_EQ(ChangeCount(d), 8);
    ASSERT_TRUE(d.Type(kData2DEditId, u"AB"));
    ASSERT_TRUE(d.Click(kPrint2DButtonId));
    ASSERT_TRUE(d.Select(kErrorLevelComboId, 2));
    ASSERT_TRUE(d.Click(kPrint2DButtonId));
  }
  ASSERT_EQ(jobs_.size(), 2u);
  EXPECT_EQ(jobs_[0].name, u"2Dcode");
  EXPECT_EQ(Joined(jobs_[0]), (Bytes{0x1D, 0x6F, 0x00, 0x08, 0x01, 0x02, 0x1D, 0x6B, 0x0B, 0x51, 0x41, 0x2C, 'A', 'B',
                                     0x00, 0x0A}));
  EXPECT_EQ(Joined(jobs_[1])[9], 0x48);
  EXPECT_EQ(Record().Barcode2D[0].QrErrorLevel, 2);
  // Reopened, the page shows model "2" again.
  Barcode2DPage again(Context(), Recorder());
  ui::headless::Dialog d(again, env_);
  d.Create();
  EXPECT_EQ(d.Selection(kModelComboId), 1);
  EXPECT_EQ(d.Text(kQrWidthEditId), u"8");
}

TEST_F(Barcode2DPageTest, EmptyOrTooLongDataSendsNothing) {
  Barcode2DPage page(Context(), Recorder());
  ui::headless::Dialog d(page, env_);
  d.Create();
  ASSERT_TRUE(d.Type(kData2DEditId, u""));
  EXPECT_FALSE(d.IsEnabled(kPrint2DButtonId));
  EXPECT_FALSE(d.Click(kPrint2DButtonId));
  ASSERT_TRUE(d.Type(kData2DEditId, std::u16string(300, u'a')));
  EXPECT_TRUE(d.IsEnabled(kPrint2DButtonId));
  ASSERT_TRUE(d.Click(kPrint2DButtonId));
  // 200 double-byte characters are 400 bytes in code page 936.
  Barcode2DPage chinese(Context(), Recorder(936));
  ui::headless::Dialog c(chinese, env_);
  c.Create();
  ASSERT_TRUE(c.Type(kData2DEditId, std::u16string(200, u'\u4E2D')));
  ASSERT_TRUE(c.Click(kPrint2DButtonId));
  ASSERT_TRUE(c.Type(kData2DEditId, std::u16string(127, u'\u4E2D')));
  ASSERT_TRUE(c.Click(kPrint2DButtonId));
  ASSERT_EQ(env_.MessageBoxes().size(), 2u);
  EXPECT_EQ(env_.MessageBoxes()[0].text, u"BarCode data error!");
  ASSERT_EQ(jobs_.size(), 1u);
  EXPECT_EQ(jobs_[0].pieces[1].size(), 254u);
}

TEST_F(Barcode2DPageTest, ValuesOutOfRangeShowTheDefaultsAndStayUntilChanged) {
  PrivateDevMode record = Record();
  record.Barcode2D[0].QrModel = 0;
  record.Barcode2D[0].QrErrorLevel = 4;
  record.Barcode2D[0].QrLanguageMode = 9;
  record.Barcode2D[0].QrModuleSize = 0;
  Store(record);
  const PrivateDevModeBytes before = bytes_;
  Barcode2DPage page(Context(), Recorder());
  ui::headless::Dialog d(page, env_);
  d.Create();
  EXPECT_EQ(d.Selection(kModelComboId), 0);
  EXPECT_EQ(d.Selection(kErrorLevelComboId), 1);
  EXPECT_EQ(d.Selection(kLanguageModeComboId), 0);
  EXPECT_EQ(d.Text(kQrWidthEditId), u"1");
  ASSERT_TRUE(d.Click(kPrint2DButtonId));
  EXPECT_EQ(bytes_, before);
  ASSERT_EQ(jobs_.size(), 1u);
  EXPECT_EQ(Bytes(jobs_[0].pieces[0].begin(), jobs_[0].pieces[0].begin() + 10),
            (Bytes{0x1D, 0x6F, 0x00, 0x01, 0x00, 0x01, 0x1D, 0x6B, 0x0B, 0x4D}));
}

}  // namespace
}  // namespace kit::plugin::barcode

namespace kit::plugin::barcode {
namespace {

TEST_F(Barcode2DPageTest, BothTemplatesKeepTheTemplateRules) {
  Barcode1DPage one(Context(), {});
  Barcode2DPage two(Context(), {});
  EXPECT_EQ(ui::Validate(one.Template()), "");
  EXPECT_EQ(ui::Validate(two.Template()), "");
  EXPECT_EQ(one.Template().id, 117);
  EXPECT_EQ(two.Template().id, 118);
}

}  // namespace
}  // namespace kit::plugin::barcode
