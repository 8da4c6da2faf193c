// This file is the Linux build's (FreeType through the virtual printer's fonts).
#include <algorithm>

#include "plugin/render/host/text_page.h"
#include "print/fonts/font_table.h"
#include "tools/kvjob/printer_font.h"

namespace kit::plugin::render_host {

void DrawText(GreyPage& page, const TextRun& run) {
  static tools::PrinterFonts fonts;
  // The run's size in dots at the page's resolution, in whole Font A cells.
  const int dots = run.point_tenths * print::model::kQ40DotsPerInch / 720;
  const int times = std::max(1, (dots + print::fonts::kFontACell.height / 2) / print::fonts::kFontACell.height);
  int x = run.x;
  for (char16_t c : run.text) {
    const tools::Glyph& g = fonts.Of(0, c);
    for (int gy = 0; gy < g.height * times; ++gy) {
      for (int gx = 0; gx < g.width * times; ++gx) {
        if (g.dots[static_cast<std::size_t>(gy / times) * g.width + gx / times] == 0) continue;
        const int px = x + gx, py = run.y + gy;
        if (px >= 0 && px < page.width && py >= 0 && py < page.height) {
          page.grey[static_cast<std::size_t>(py) * page.width + px] = 0;
        }
      }
    }
    x += g.width * times;
  }
}

}  // namespace kit::plugin::render_host
