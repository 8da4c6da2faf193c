#include "print/fonts/font_table.h"

#include <gtest/gtest.h>

#include <set>

#include "plugin/core/font/font_page.h"
#include "plugin/pages/barcode/font_height.h"

namespace kit::print::fonts {
namespace {

std::string PointText(int tenths) { return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10); }

// The Q40's text fonts are the Font page's items, name and point size, in
// its order; the control font is its "Control" item.
TEST(FontTable, Q40MatchesTheFontPage) {
  const FontList list = FontsOf(model::ReceiptQ40());
  std::vector<std::string> table, page;
  for (const PrinterFont& f : list.fonts) {
    if (f.kind == FontKind::kText || f.kind == FontKind::kControl) table.push_back(f.name + " " + PointText(f.point_tenths));
  }
  for (const auto& group : plugin::font::FontGroups()) {
    for (const char16_t* item : group.fonts) {
      std::string text;
      bool space = false;
      for (const char16_t* c = item; *c != 0; ++c) {
        if (*c == u' ') {
          space = true;
          continue;
        }
        if (space && !text.empty()) text += ' ';
        space = false;
        text += static_cast<char>(*c);
      }
      page.push_back(text);
    }
  }
  EXPECT_EQ(table, page);
}

// The point sizes: the barcode pages' rounding, at each model's resolution.
TEST(FontTable, PointSizes) {
  struct Case {
    int dots, dpi, tenths;
  };
  const Case cases[] = {
      {24, 180, 95},   // Font A: 9.6 rounds to a half
      {17, 180, 70},   // Font B: 6.8 rounds up
      {96, 180, 385},  // Font A x4: 38.4 to 38.5, the lower edge of a half
      {48, 180, 190},  // 19.2 down
      {163, 180, 650}, {187, 180, 750}, {66, 180, 265},  // the 1D Code page's own cases
      {24, 203, 85},   // Font A on a 203-dpi model: 8.51
      {2, 180, 10},    // Control: 0.8 up to 1.0
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PointTenthsOf(c.dots, c.dpi), c.tenths) << c.dots << " dots at " << c.dpi;
    if (c.dpi == 180) {
      EXPECT_DOUBLE_EQ(plugin::barcode::PointsOf(static_cast<std::uint32_t>(c.dots)), c.tenths / 10.0) << c.dots;
    }
  }
}

// Every model: fourteen text fonts; the barcode, QR and control fonts where
// the model has the pages that set them; ids and names unique; the cells the
// HRI lines of the barcode pages take.
TEST(FontTable, EveryModel) {
  for (const model::Model& m : model::Models()) {
    SCOPED_TRACE(std::string(m.token));
    const FontList list = FontsOf(m);
    const bool pages = !m.ui_plugin.empty();
    EXPECT_EQ(list.fonts.size(), pages ? 24u : 14u);
    std::set<int> ids;
    std::set<std::string> names;
    int barcodes = 0;
    for (const PrinterFont& f : list.fonts) {
      EXPECT_TRUE(ids.insert(f.resource_id).second) << f.name;
      EXPECT_TRUE(names.insert(f.name).second) << f.name;
      EXPECT_GT(f.width, 0);
      EXPECT_GT(f.ascent, 0);
      EXPECT_LE(f.ascent, f.height);
      EXPECT_EQ(FindFont(m, f.resource_id)->name, f.name);
      if (f.kind == FontKind::kText) {
        const FontCell cell = f.face == Face::kFontA ? kFontACell : kFontBCell;
        EXPECT_EQ(f.height, cell.height * f.height_times) << f.name;
        EXPECT_EQ(f.width, cell.width * f.width_times) << f.name;
      }
      if (f.kind == FontKind::kBarcode1D) {
        EXPECT_EQ(f.name, "1D Code" + std::to_string(barcodes + 1));
        EXPECT_EQ(f.index, barcodes++);
        EXPECT_TRUE(f.scalable);
      }
    }
    EXPECT_EQ(barcodes, pages ? kBarcodeFontCount : 0);
    EXPECT_EQ(names.contains("2D Code1"), pages);
    EXPECT_FALSE(FindFont(m, 0).has_value());
  }
  EXPECT_EQ(kFontACell.height, static_cast<int>(plugin::barcode::kHriHeightFontA));
  EXPECT_EQ(kFontBCell.height, static_cast<int>(plugin::barcode::kHriHeightFontB));
  const FontList q40 = FontsOf(model::ReceiptQ40());
  EXPECT_EQ(q40.fonts[15 - 1].point_tenths, 650);   // 1D Code1 at the page's default record
  EXPECT_EQ(q40.fonts[23 - 1].point_tenths, 95);    // 2D Code1: the 2D Code page's 9.5
}

}  // namespace
}  // namespace kit::print::fonts
