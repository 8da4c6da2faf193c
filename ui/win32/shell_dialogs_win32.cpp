#include "ui/win32/shell_dialogs_win32.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstring>

#include "platform/win32/system_proc.h"

namespace kit::ui::win32 {
namespace {

std::wstring WideText(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }

// Whether `process` is a 32-bit process on 64-bit Windows. IsWow64Process
// is looked up at run time (Windows 2000 and XP before SP2 lack it): a
// missing function means 32-bit Windows, where no process is.
bool IsWow64(HANDLE process) {
  using Fn = BOOL(WINAPI*)(HANDLE, PBOOL);
  const auto fn = kit::win32::SystemProc<Fn>(L"kernel32.dll", "IsWow64Process");
  BOOL wow64 = FALSE;
  return fn != nullptr && fn(process, &wow64) && wow64;
}

// Sets item `index` of a tab control that lives in another process: the
// TCITEMW and its text are written into that process's memory first.
bool SetRemoteTabText(HWND tab, DWORD process_id, int index, const std::wstring& text) {
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION, FALSE, process_id);
  if (process == nullptr) return false;
  bool done = false;
  // The record holds pointers: only a process of this bitness reads it.
  if (IsWow64(GetCurrentProcess()) == IsWow64(process)) {
    const SIZE_T text_bytes = (text.size() + 1) * sizeof(wchar_t);
    const SIZE_T total = sizeof(TCITEMW) + text_bytes;
    auto* remote = static_cast<BYTE*>(VirtualAllocEx(process, nullptr, total, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (remote != nullptr) {
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = reinterpret_cast<LPWSTR>(remote + sizeof(TCITEMW));
      SIZE_T written = 0;
      if (WriteProcessMemory(process, remote, &item, sizeof item, &written) &&
          WriteProcessMemory(process, remote + sizeof(TCITEMW), text.c_str(), text_bytes, &written)) {
        DWORD_PTR result = 0;
        done = SendMessageTimeoutW(tab, TCM_SETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote),
                                   SMTO_ABORTIFHUNG, 2000, &result) != 0;
      }
      VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
  }
  CloseHandle(process);
  return done;
}

struct Search {
  HWND own_sheet;
  std::wstring own_title;
  std::wstring title_part;
  const std::vector<std::u16string>* titles;
  int relabelled = 0;
};

BOOL CALLBACK RelabelIfSheet(HWND window, LPARAM lParam) {
  auto& search = *reinterpret_cast<Search*>(lParam);
  if (window == search.own_sheet) return TRUE;
  wchar_t class_name[16] = {};
  if (GetClassNameW(window, class_name, 16) == 0 || std::wcscmp(class_name, L"#32770") != 0) return TRUE;
  wchar_t title[512] = {};
  GetWindowTextW(window, title, 512);
  if (std::wstring_view(title).find(search.title_part) == std::wstring_view::npos) return TRUE;
  // A sheet titled as this one is a sheet of the same kind (another
  // process's printing preferences): the titles are not its own.
  if (!search.own_title.empty() && search.own_title == title) return TRUE;
  HWND tab = FindWindowExW(window, nullptr, WC_TABCONTROLW, nullptr);
  if (tab == nullptr) return TRUE;
  DWORD process_id = 0;
  GetWindowThreadProcessId(tab, &process_id);
  const int count = static_cast<int>(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
  const int first = count - static_cast<int>(search.titles->size());
  for (std::size_t i = 0; i < search.titles->size(); ++i) {
    const int index = first + static_cast<int>(i);
    if (index < 0) continue;
    std::wstring text = WideText((*search.titles)[i]);
    if (process_id == GetCurrentProcessId()) {
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = text.data();
      SendMessageW(tab, TCM_SETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    } else {
      SetRemoteTabText(tab, process_id, index, text);
    }
  }
  ++search.relabelled;
  return TRUE;
}

}  // namespace

std::optional<std::u16string> BrowseForFolder(HWND owner, std::u16string_view title) {
  const std::wstring wide_title = WideText(title);
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.lpszTitle = wide_title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
  if (chosen == nullptr) return std::nullopt;
  wchar_t path[MAX_PATH] = {};
  const BOOL has_path = SHGetPathFromIDListW(chosen, path);
  CoTaskMemFree(chosen);
  if (!has_path) return std::nullopt;
  return std::u16string(path, path + std::wcslen(path));
}

int RelabelOtherSheets(HWND own_sheet, std::u16string_view title_part, const std::vector<std::u16string>& titles) {
  wchar_t own_title[512] = {};
  if (own_sheet != nullptr) GetWindowTextW(own_sheet, own_title, 512);
  Search search{own_sheet, own_title, WideText(title_part), &titles};
  if (search.title_part.empty()) return 0;
  EnumWindows(RelabelIfSheet, reinterpret_cast<LPARAM>(&search));
  return search.relabelled;
}

}  // namespace kit::ui::win32
