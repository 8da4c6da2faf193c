// A page description for the test host: what an application draws on a
// page, text runs in named fonts beside pictures, one item a line:
//
//   # a comment
//   height 600                          the page's length in dots (else the
//                                       last item's bottom and a Font A line)
//   picture X Y FILE.pgm                a grey picture, its top-left at X, Y
//   text X Y POINTS FONT: STRING        a text run: the font's face name as an
//                                       application picks it, its point size,
//                                       the string to the line's end (UTF-8)
//
// X and Y are dots of the model's resolution from the page's top-left; a
// text run's Y is the top of its line. A PDF's text cannot name a printer
// font, so the road's receipts are written in this form.
//
// The font mapper matches each run to the device fonts the GPD lists, as GDI
// matches a request to a driver's fonts: the face name (case aside) and, for
// a font of one size, the point size rounded to halves as the Font page
// shows it; a scalable font takes any size. A run no device font matches is
// drawn into the page's raster, as GDI draws a font the printer lacks.
//
// This file is OS-independent.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "plugin/render/host/page_source.h"
#include "print/model/model_table.h"

namespace kit::plugin::render_host {

struct TextRun {
  int x = 0, y = 0;
  int point_tenths = 0;
  std::string font;       // the face name asked for
  std::u16string text;
};

struct PictureItem {
  int x = 0, y = 0;
  std::string path;
};

struct PageDescription {
  int height = 0;
  std::vector<TextRun> runs;
  std::vector<PictureItem> pictures;
};

// Nothing, with `error` set, for a line that is none of the forms above.
std::optional<PageDescription> ReadPageDescription(const std::string& text, std::string& error);

// A device font as the mapper sees it, read from its metrics.
struct DeviceFont {
  int id = 0;
  std::u16string face;
  int point_tenths = 0;  // at the model's resolution
  bool scalable = false;
  std::vector<std::uint8_t> select, unselect;  // the metrics' selection commands
};

// The fonts the GPD lists, their metrics read from `metrics_folder`
// (<TOKEN>_<id>.UFM); a listed font without sound metrics is left out.
std::vector<DeviceFont> ListedFonts(const std::string& gpd_text, const print::model::Model& model,
                                    const std::string& metrics_folder);
// The device font a run maps to, or nullptr.
const DeviceFont* MapFont(const std::vector<DeviceFont>& fonts, const TextRun& run);

// The page's grey picture at the model's width: its pictures pasted.
GreyPage GreyOf(const PageDescription& page, int width);

// A run no device font takes, drawn into the page as GDI would draw it with
// a face of its own: the Linux build draws the virtual printer's Font A
// glyphs (a stand-in face) magnified to the run's size; the Windows build
// draws nothing (its tests print device fonts only).
void DrawText(GreyPage& page, const TextRun& run);

}  // namespace kit::plugin::render_host
