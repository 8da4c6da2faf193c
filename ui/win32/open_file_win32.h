// The system's open-file dialog for the Win32 host. Windows builds only.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "ui/page.h"

namespace kit::ui::win32 {

// GetOpenFileNameW owned by `owner` with one filter entry, the request's
// flags and a path buffer of its capacity; the chosen path, nothing on
// Cancel or failure (a path too long for the buffer among them).
std::optional<std::u16string> OpenFileDialog(HWND owner, const OpenFileRequest& request);

}  // namespace kit::ui::win32
