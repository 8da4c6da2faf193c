// The printer's own fonts, one list per model beside the model table: the
// resident text fonts Font A and Font B at the magnifications the Font page
// names ("FontA11" .. "FontB44"), the eight "1D Code" fonts that print as
// barcodes, "2D Code1" that prints as a QR code and "Control" that sends
// raw commands. The driver's font metrics and the GPD's device-font list are
// written from this table, and the rendering plug-in finds a font by its
// metrics' resource id here.
//
// Figures are dots at the model's resolution. Where the kit's own data gives
// a figure the table takes it from there (Font A's 12 x 24 and Font B's
// 9 x 17 cells, the barcode pages' HRI allowances and their rule for a
// point size); every other figure is a named choice in font_table.cpp.
//
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "print/model/model_table.h"

namespace kit::print::fonts {

enum class FontKind : std::uint8_t {
  kText,       // Font A or Font B at a magnification: text printed as text
  kBarcode1D,  // "1D Code k": the string prints as one barcode
  kQrCode,     // "2D Code1": the string prints as a QR code
  kControl,    // "Control": each character sends its bytes, prints nothing
};

// The printer's two resident faces.
enum class Face : std::uint8_t { kFontA = 0, kFontB = 1 };

struct FontCell {
  int width;     // dots a character advances
  int height;    // dots of a line of the face
  int ascent;    // dots from the cell's top to the baseline
};
// Font A and Font B at normal size: the cells the barcode pages' HRI lines take.
inline constexpr FontCell kFontACell{12, 24, 19};
inline constexpr FontCell kFontBCell{9, 17, 13};

// The code pages the fonts' characters are sent in, as Windows names them
// and as the printer's code-page command (1B 74 n) selects them.
struct CodePage {
  std::uint16_t windows;  // 437
  std::uint8_t printer;   // n of 1B 74 n
};

struct PrinterFont {
  std::string name;         // the face name an application picks: "FontA22", "1D Code3"
  FontKind kind;
  int resource_id;          // the metrics' resource id, as the GPD lists it
  Face face = Face::kFontA; // text: the resident face
  int width_times = 1;      // text: the magnification in the name, across ...
  int height_times = 1;     // ... and down (1 to 8)
  int index = 0;            // 1D Code k: k - 1, the Barcode1D record it prints with
  int width = 0;            // dots a character advances
  int height = 0;           // dots of the font's line
  int ascent = 0;           // dots above the baseline
  int point_tenths = 0;     // the point size an application picks, in tenths
  bool scalable = false;    // any point size maps to it (the barcode fonts)
};

struct FontList {
  CodePage code_page;                 // the text fonts' characters
  std::vector<PrinterFont> fonts;     // in the order the GPD lists them
};

// The point size, in tenths, of a line of `dots` at `dots_per_inch`, rounded
// to halves as the barcode pages round it: a fraction below 0.4 down, below
// 0.7 to a half, else up (24 dots at 180 dpi: 9.6 points, 95).
int PointTenthsOf(int dots, int dots_per_inch);

// The model's fonts: Font A and B at the seven magnifications on every model;
// the barcode, QR and control fonts on a model whose document settings hold
// their records (a model with the UI plug-in).
FontList FontsOf(const model::Model& model);

// The font of a resource id in the model's list; nullptr for any other.
std::optional<PrinterFont> FindFont(const model::Model& model, int resource_id);

// The seven magnifications, across then down, of the Font page's names.
struct Magnification {
  int across, down;
};
inline constexpr Magnification kMagnifications[7] = {{1, 1}, {1, 2}, {2, 1}, {2, 2}, {2, 4}, {4, 2}, {4, 4}};
inline constexpr int kBarcodeFontCount = 8;

}  // namespace kit::print::fonts
