// The figures of the family's receipt model that the virtual printer draws
// with, named in one place.
//
// The printer's dot is 1/180 inch: the barcode pages count bar heights and
// HRI lines in these dots. The roll is as wide as the widest paper the
// Utility page admits (55.8 mm, 395 dots), and a receipt is at most as long
// as its longest form (4095.8 mm). Font A has a 12 x 24 dot cell and Font B
// a 9 x 17 one: the HRI allowances of the barcode pages.
//
// This file is OS-independent.
#pragma once

#include "plugin/core/utility/custom_forms.h"
#include "plugin/pages/barcode/font_height.h"
#include "print/model/model_table.h"

namespace kit::tools::paper {

// The receipt model's figures come from the kit's model table; the pages'
// own constants must agree with it.
inline constexpr int kDotsPerInch = print::model::kQ40DotsPerInch;
static_assert(kDotsPerInch == static_cast<int>(plugin::barcode::kDotsPerInch));
static_assert(print::model::kQ40PaperWidthTenthsMm == plugin::utility::kMaxFormWidth);
static_assert(print::model::kQ40MaxLengthTenthsMm == plugin::utility::kMaxFormHeight);
inline constexpr int kTenthsMmPerInch = 254;
// Tenths of a millimetre to dots, rounded down.
constexpr int DotsOfTenthsMm(int tenths) { return tenths * kDotsPerInch / kTenthsMmPerInch; }

inline constexpr int kPaperWidthTenthsMm = print::model::kQ40PaperWidthTenthsMm;
inline constexpr int kPaperWidthDots = print::model::kQ40PrintableWidthDots;
inline constexpr int kMaxLengthDots = DotsOfTenthsMm(print::model::kQ40MaxLengthTenthsMm);

struct FontCell {
  int width;
  int height;
};
inline constexpr FontCell kFontA{12, static_cast<int>(plugin::barcode::kHriHeightFontA)};
inline constexpr FontCell kFontB{9, static_cast<int>(plugin::barcode::kHriHeightFontB)};

// Line spacing after ESC @ and ESC 2: 1/6 inch.
inline constexpr int kDefaultLineSpacing = kDotsPerInch / 6;
// Tab stops every eight Font A cells.
inline constexpr int kTabCells = 8;
// Character size multipliers of GS ! run from 1 to 8.
inline constexpr int kMaxMagnification = 8;

// The picture: the roll, its printable width between two blank edges, then
// a grey margin on its right where the printer's other doings (cuts, drawer,
// buzzer, bytes it does not know) are noted.
inline constexpr int kRollEdgeDots = 16;
inline constexpr int kMarginDots = 216;
inline constexpr int kPictureWidth = kRollEdgeDots + kPaperWidthDots + kRollEdgeDots + kMarginDots;
inline constexpr int kMarginLeft = kPictureWidth - kMarginDots;

static_assert(kPaperWidthDots == 395);

// The roll the picture shows: the receipt Q40's unless a job is drawn for
// another model of the family (`kvjob render --model`), whose line and dot
// the model table gives.
struct Roll {
  int width_dots = kPaperWidthDots;
  int dots_per_inch = kDotsPerInch;
  int PictureWidth() const { return kRollEdgeDots + width_dots + kRollEdgeDots + kMarginDots; }
  int MarginLeft() const { return PictureWidth() - kMarginDots; }
};
inline Roll RollOf(const print::model::Model& model) { return {model.printable_width_dots, model.dots_per_inch}; }

}  // namespace kit::tools::paper
