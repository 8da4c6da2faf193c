// Relabelling the plug-in's tabs in the current language after the user
// picked another language. The plug-in's pages are the last tabs of the
// device sheet and follow the universal driver's two pages on the document
// sheet; only the pages this build adds are relabelled, each with its own
// title, so a sheet with fewer pages never shows one page under another's
// title.
// This file is OS-independent.
#pragma once

#include "plugin/core/sheets/current_texts.h"
#include "plugin/core/sheets/page_context.h"
#include "ui/page.h"

namespace kit::plugin::sheets {

// The universal driver's own pages before the plug-in's on the document sheet.
inline constexpr int kDriverDocumentTabs = 2;

// Relabels the plug-in's tabs of the sheet that holds `page`, a page of a
// sheet of `kind`.
void RelabelSheetTabs(ui::Window& page, SheetKind kind, const CurrentTexts& texts);

// After a language change on the document sheet holding `page`: relabels its
// tabs, then those of the open device sheet (through its remembered pages),
// then, when `printer_name` is given, the last tabs of every other open
// sheet whose title contains it (other processes' sheets too), and repaints
// every remembered page so that it reloads its texts.
void RelabelAfterLanguageChange(ui::Window& page, const CurrentTexts& texts, std::u16string_view printer_name = {});

}  // namespace kit::plugin::sheets
