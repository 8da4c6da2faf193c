#include "ui/win32/file_dialog_win32.h"

#include <commdlg.h>

#include <cstdio>
#include <vector>

namespace kit::ui::win32 {
namespace {

using GetOpenFileNameWFn = BOOL(WINAPI*)(LPOPENFILENAMEW);
using CommDlgExtendedErrorFn = DWORD(WINAPI*)();

constexpr wchar_t kCommonDialogLibrary[] = L"comdlg32.dll";

struct CommonDialogs {
  GetOpenFileNameWFn open = nullptr;
  CommDlgExtendedErrorFn extended_error = nullptr;
};

// Loaded once, at the first dialog, and kept for the life of the process.
const CommonDialogs& Library() {
  static const CommonDialogs library = [] {
    CommonDialogs found;
    HMODULE module = LoadLibraryW(kCommonDialogLibrary);
    if (module == nullptr) {
      std::fprintf(stderr, "ui/win32: LoadLibraryW(comdlg32.dll) failed, error %lu\n", GetLastError());
      return found;
    }
    found.open = reinterpret_cast<GetOpenFileNameWFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "GetOpenFileNameW")));
    found.extended_error = reinterpret_cast<CommDlgExtendedErrorFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "CommDlgExtendedError")));
    return found;
  }();
  return library;
}

}  // namespace

std::wstring FilterString(const OpenFileRequest& request) {
  std::wstring filter;
  for (const auto& [description, pattern] : request.filter) {
    filter.append(description.begin(), description.end());
    filter.push_back(L'\0');
    filter.append(pattern.begin(), pattern.end());
    filter.push_back(L'\0');
  }
  filter.push_back(L'\0');
  return filter;
}

std::optional<std::u16string> OpenFile(HWND owner, const OpenFileRequest& request) {
  const CommonDialogs& library = Library();
  if (library.open == nullptr || request.path_capacity == 0) return std::nullopt;
  const std::wstring filter = FilterString(request);
  const std::wstring title(request.title.begin(), request.title.end());
  std::vector<wchar_t> path(request.path_capacity, L'\0');
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = path.data();
  ofn.nMaxFile = static_cast<DWORD>(path.size());
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.Flags = request.flags;
  if (!library.open(&ofn)) {
    // Cancel gives 0; anything else (a path longer than the buffer) is
    // logged and treated as no choice.
    if (library.extended_error != nullptr)
      if (const DWORD error = library.extended_error(); error != 0)
        std::fprintf(stderr, "ui/win32: GetOpenFileNameW failed, error 0x%lx\n", error);
    return std::nullopt;
  }
  path.back() = L'\0';
  const std::wstring chosen(path.data());
  return std::u16string(chosen.begin(), chosen.end());
}

}  // namespace kit::ui::win32
