// Helpers of the Win32 host for list-view columns, tree images, bitmap
// resources, key filters and the minimised window's icon. Internal to
// ui/win32.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <string_view>
#include <vector>

#include "ui/page.h"

namespace kit::ui::win32::detail {

// Column `column` of a report-mode list view: set when it exists, else added
// after the last one.
void SetListColumn(HWND list, int column, std::u16string_view title, int width);
void SetListSubItemText(HWND list, int index, int column, std::u16string_view text);
std::u16string ListSubItemText(HWND list, int index, int column);

// A 16 x 16 image list of the module's icons as the tree's normal image
// list; it goes with the tree.
void SetTreeIconImages(HWND tree, const std::vector<int>& icon_ids);
void SetTreeItemImage(HWND tree, HTREEITEM item, int image);

// Stretches the module's bitmap `resource_id` over `box` (COLORONCOLOR,
// SRCCOPY). False when the module has no such bitmap.
bool PaintBitmapResource(HDC dc, const RECT& box, int resource_id);

// The painting of a minimised window: `icon` centred in its client area,
// over the background the system erases for iconic windows.
void PaintMinimisedIcon(HWND window, HDC dc, HICON icon);

// Subclasses an edit so that it asks for all keys and every typed character
// goes through `filter`; null removes the filter.
void SetEditKeyFilter(HWND edit, KeyFilter filter);

}  // namespace kit::ui::win32::detail
