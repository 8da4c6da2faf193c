// Windows builds only.
#include "ui/win32/open_file_win32.h"

#include <commdlg.h>

#include <vector>

namespace kit::ui::win32 {

std::optional<std::u16string> OpenFileDialog(HWND owner, const OpenFileRequest& request) {
  if (request.path_capacity < 2) return std::nullopt;
  // "name\0pattern\0\0"
  std::wstring filter(request.filter_name.begin(), request.filter_name.end());
  filter.push_back(L'\0');
  filter.append(request.pattern.begin(), request.pattern.end());
  filter.push_back(L'\0');
  filter.push_back(L'\0');
  std::vector<wchar_t> path(request.path_capacity, L'\0');
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = path.data();
  ofn.nMaxFile = static_cast<DWORD>(path.size());
  ofn.Flags = request.flags;
  if (!GetOpenFileNameW(&ofn)) return std::nullopt;
  const std::size_t length = wcsnlen(path.data(), path.size());
  return std::u16string(path.begin(), path.begin() + static_cast<std::ptrdiff_t>(length));
}

}  // namespace kit::ui::win32
