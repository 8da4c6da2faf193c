#include "tests/setup/wizard_win32/win32_walk.h"

#include <cstdio>

#include "ui/win32/remote.h"

namespace kit::setup::testing {
namespace {

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

HWND VisibleDialogWith(DWORD thread_id, int id) {
  PageSearch search{id, nullptr};
  EnumThreadWindows(thread_id, FindPageWith, reinterpret_cast<LPARAM>(&search));
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

std::vector<std::wstring> ListItems(HWND page, int id) {
  std::vector<std::wstring> out;
  HWND list = GetDlgItem(page, id);
  const LRESULT n = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < n; ++i) {
    wchar_t text[128] = {};
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    out.emplace_back(text);
  }
  return out;
}

KitFiles KitWithoutLicence() {
  KitFiles kit = SampleKit();
  std::string ini = kit.files.at("DRVCONFIG\\setup.ini");
  ini.replace(ini.find("LOADLICENSE=1"), 13, "LOADLICENSE=0");
  kit.Set("DRVCONFIG\\setup.ini", ini);
  return kit;
}

HWND WalkToPortPage(HWND frame, const Expect& expect, const std::function<void(HWND series)>& on_series) {
  ui::win32::RemoteDialog f(frame);
  HWND series = nullptr;
  expect(WaitFor([&] { return (series = PageWith(frame, kSeriesListIds[0])) != nullptr; }), "series page shown");
  if (series != nullptr) {
    expect(SelectItem(series, kSeriesListIds[0], L"VRT-Q40"), "VRT-Q40 is offered");
    if (on_series) on_series(series);
  }
  f.Click(IDOK);
  expect(WaitFor([&] { return PageWith(frame, kModeTypicalId) != nullptr; }), "mode page shown");
  f.Click(IDOK);  // the OS page passes on by itself
  HWND port = nullptr;
  expect(WaitFor([&] { return (port = PageWith(frame, kPortListId)) != nullptr; }), "port page shown");
  return port;
}

std::string WriteKit(const KitFiles& kit, const std::string& name) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string root = std::string(temp) + "kitsetup-wine-" + std::to_string(GetCurrentProcessId()) + "-" + name;
  CreateDirectoryA(root.c_str(), nullptr);
  for (const auto& [relative, bytes] : kit.files) {
    const std::string path = root + "\\" + relative;
    for (std::size_t at = path.find('\\', root.size() + 1); at != std::string::npos; at = path.find('\\', at + 1))
      CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) continue;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  return root;
}

}  // namespace kit::setup::testing
