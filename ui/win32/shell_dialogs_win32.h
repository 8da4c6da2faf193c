// The system's folder dialog and the relabelling of other open property
// sheets, for the Win32 host. Windows builds only.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kit::ui::win32 {

// SHBrowseForFolderW owned by `owner`, file-system folders only; the chosen
// folder (up to MAX_PATH), nothing on Cancel or a folder without a path.
std::optional<std::u16string> BrowseForFolder(HWND owner, std::u16string_view title);

// Every top-level dialog (class "#32770") whose title contains `title_part`,
// `own_sheet` and dialogs titled exactly as it (sheets of its own kind)
// excepted: the last titles.size() items of its tab control get `titles`. A sheet of another process gets the item record in its own
// memory (a pointer into this process would mean nothing there); one of
// another bitness is left alone. Returns how many sheets were relabelled.
int RelabelOtherSheets(HWND own_sheet, std::u16string_view title_part, const std::vector<std::u16string>& titles);

}  // namespace kit::ui::win32
