// The system's open-file dialog for the Win32 host. The common dialog
// library is loaded by name the first time a dialog is shown, so a program
// that never asks for a file does not load it. Windows builds only.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "ui/page.h"

namespace kit::ui::win32 {

// GetOpenFileNameW owned by `owner` with the request's title, filter, flags
// and path buffer; the chosen path, nothing on Cancel, on a path that does
// not fit the buffer, or when the library cannot be loaded.
std::optional<std::u16string> OpenFile(HWND owner, const OpenFileRequest& request);

// The filter string GetOpenFileNameW takes: each description and pattern
// ended by a NUL, the list ended by one more.
std::wstring FilterString(const OpenFileRequest& request);

}  // namespace kit::ui::win32
