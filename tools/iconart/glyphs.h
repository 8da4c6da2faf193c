// The kit's icon artwork, drawn in a 48 x 48 design square: a receipt
// printer, the setup box, the installer's printer with its arrow, the
// uninstaller's bin, the restart arrow, and the Font page's tree images
// (printer, folder, the letter "A" on a page).
// This file is OS-independent.
#pragma once

#include "tools/iconart/canvas.h"

namespace kit::iconart {

// The side of the design square every glyph is drawn in.
inline constexpr double kGlyphDesignSize = 48;

void DrawSetupIcon(Canvas& canvas);      // the printer in an open carton
void DrawInstallerIcon(Canvas& canvas);  // the printer with a green down arrow
void DrawUninstallIcon(Canvas& canvas);  // a bin
void DrawRestartIcon(Canvas& canvas);    // a circular arrow
void DrawPrinterIcon(Canvas& canvas);    // the receipt printer alone
void DrawFolderIcon(Canvas& canvas);
void DrawFontIcon(Canvas& canvas);       // "A" on a page

}  // namespace kit::iconart
