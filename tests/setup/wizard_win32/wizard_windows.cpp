#include "tests/setup/wizard_win32/wizard_windows.h"

#include <string>

namespace kit::setup::testing {
namespace {

constexpr int kPollMs = 50;

struct PageSearch {
  int id;
  HWND found;
};

// A named CALLBACK function: g++ cannot turn a lambda into a stdcall pointer
// on 32-bit Windows.
BOOL CALLBACK FindPageWith(HWND child, LPARAM p) {
  auto* s = reinterpret_cast<PageSearch*>(p);
  wchar_t cls[16] = {};
  GetClassNameW(child, cls, 16);
  if (std::wstring(cls) == L"#32770" && IsWindowVisible(child) && GetDlgItem(child, s->id) != nullptr) {
    s->found = child;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

bool WaitFor(const std::function<bool()>& ready, int timeout_ms) {
  for (int waited = 0; waited < timeout_ms; waited += kPollMs) {
    if (ready()) return true;
    Sleep(kPollMs);
  }
  return ready();
}

HWND PageWith(HWND frame, int id) {
  PageSearch search{id, nullptr};
  EnumChildWindows(frame, FindPageWith, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool SelectItem(HWND page, int id, const wchar_t* text) {
  HWND control = GetDlgItem(page, id);
  wchar_t cls[32] = {};
  GetClassNameW(control, cls, 32);
  const bool combo = std::wstring(cls) == L"ComboBox";
  const LRESULT index = SendMessageW(control, combo ? CB_FINDSTRINGEXACT : LB_FINDSTRINGEXACT,
                                     static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
  if (index < 0) return false;
  SendMessageW(control, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  PostMessageW(page, WM_COMMAND, MAKEWPARAM(id, combo ? CBN_SELCHANGE : LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(control));
  return true;
}

}  // namespace kit::setup::testing
