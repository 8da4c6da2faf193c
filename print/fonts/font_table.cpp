// This file is OS-independent.
#include "print/fonts/font_table.h"

namespace kit::print::fonts {
namespace {

constexpr int kPointsPerInch = 72;

// Resource ids of the metrics: Font A 1..7 and Font B 8..14 in the Font
// page's order, then 1D Code1..8, 2D Code1 and Control. A choice; the ids are
// the same on every model so that a document's font keeps its id.
constexpr int kFirstTextId = 1;
constexpr int kFirstBarcodeId = 15;
constexpr int kQrId = 23;
constexpr int kControlId = 24;

// The text fonts' characters: code page 437, the page the printer starts in
// (1B 74 00). A choice: the kit's data names no other page for any model,
// and Windows has a built-in conversion for 437.
constexpr CodePage kPrinterCodePage{437, 0};

// A barcode font's line: the 1D Code page's default record, a bar 163 dots
// high without HRI (65.0 points at 180 dpi). The fonts are scalable, so the
// size the page shows for the record's own settings maps to them as well.
constexpr int kDefaultBarHeight = 163;
// A barcode character's advance: one Code128 symbol character, 11 modules
// of the default 3-dot module. A choice; the printer lays the bars out.
constexpr int kBarcodeCharacterWidth = 11 * 3;
// "2D Code1" takes a Font A line (9.5 points at 180 dpi, the 2D Code page's
// size); the QR code grows below it as the printer prints it.
// "Control" prints nothing: a line of 2 dots (1.0 point, the Font page's
// size) and an advance of 1 dot, so that it moves the text next to it least.
constexpr int kControlHeight = 2;
constexpr int kControlWidth = 1;

const FontCell& CellOf(Face face) { return face == Face::kFontA ? kFontACell : kFontBCell; }

}  // namespace

int PointTenthsOf(int dots, int dots_per_inch) {
  // Whole tenths first, so that 24 * 72 / 180 is 9.6 and not 9.59999.
  const long tenths = static_cast<long>(dots) * kPointsPerInch * 10 / dots_per_inch;
  const long whole = tenths / 10, fraction = tenths % 10;
  if (fraction < 4) return static_cast<int>(whole * 10);
  if (fraction < 7) return static_cast<int>(whole * 10 + 5);
  return static_cast<int>(whole * 10 + 10);
}

FontList FontsOf(const model::Model& m) {
  FontList list{kPrinterCodePage, {}};
  int id = kFirstTextId;
  for (Face face : {Face::kFontA, Face::kFontB}) {
    const FontCell& cell = CellOf(face);
    for (const Magnification& x : kMagnifications) {
      PrinterFont f{};
      f.name = std::string(face == Face::kFontA ? "FontA" : "FontB") + std::to_string(x.across) + std::to_string(x.down);
      f.kind = FontKind::kText;
      f.resource_id = id++;
      f.face = face;
      f.width_times = x.across;
      f.height_times = x.down;
      f.width = cell.width * x.across;
      f.height = cell.height * x.down;
      f.ascent = cell.ascent * x.down;
      f.point_tenths = PointTenthsOf(f.height, m.dots_per_inch);
      list.fonts.push_back(f);
    }
  }
  // The barcode, QR and control fonts print with the document's barcode
  // records and the control-font table, which only a model with the UI
  // plug-in keeps (the pages that set them are its pages).
  if (m.ui_plugin.empty()) return list;
  for (int k = 0; k < kBarcodeFontCount; ++k) {
    PrinterFont f{};
    f.name = "1D Code" + std::to_string(k + 1);
    f.kind = FontKind::kBarcode1D;
    f.resource_id = kFirstBarcodeId + k;
    f.index = k;
    f.width = kBarcodeCharacterWidth;
    f.height = f.ascent = kDefaultBarHeight;
    f.point_tenths = PointTenthsOf(kDefaultBarHeight, m.dots_per_inch);
    f.scalable = true;
    list.fonts.push_back(f);
  }
  PrinterFont qr{};
  qr.name = "2D Code1";
  qr.kind = FontKind::kQrCode;
  qr.resource_id = kQrId;
  qr.width = kFontACell.width;
  qr.height = kFontACell.height;
  qr.ascent = kFontACell.ascent;
  qr.point_tenths = PointTenthsOf(qr.height, m.dots_per_inch);
  list.fonts.push_back(qr);
  PrinterFont control{};
  control.name = "Control";
  control.kind = FontKind::kControl;
  control.resource_id = kControlId;
  control.width = kControlWidth;
  control.height = control.ascent = kControlHeight;
  control.point_tenths = PointTenthsOf(kControlHeight, m.dots_per_inch);
  list.fonts.push_back(control);
  return list;
}

std::optional<PrinterFont> FindFont(const model::Model& model, int resource_id) {
  for (PrinterFont& f : FontsOf(model).fonts) {
    if (f.resource_id == resource_id) return f;
  }
  return std::nullopt;
}

}  // namespace kit::print::fonts
