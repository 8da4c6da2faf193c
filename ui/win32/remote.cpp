#include "ui/win32/remote.h"

#include <commctrl.h>

#include "ui/win32/host.h"

namespace kit::ui::win32 {
namespace {

constexpr int kPollMs = 20;
// The static control that holds a message box's text.
constexpr int kMessageBoxTextId = 0xFFFF;

struct Search {
  const wchar_t* caption;
  HWND except;
  HWND found;
};

std::wstring ClassOf(HWND h) {
  wchar_t name[64] = {};
  GetClassNameW(h, name, 64);
  return name;
}

std::u16string TextOf(HWND h) {
  if (h == nullptr) return {};
  // WM_GETTEXT works across threads and processes; GetWindowText would not
  // ask a control of another process.
  const auto n = static_cast<int>(SendMessageW(h, WM_GETTEXTLENGTH, 0, 0));
  std::wstring s(static_cast<std::size_t>(n) + 1, L'\0');
  const auto got = static_cast<int>(SendMessageW(h, WM_GETTEXT, s.size(), reinterpret_cast<LPARAM>(s.data())));
  s.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return FromWide(s);
}

BOOL CALLBACK FindDialog(HWND h, LPARAM data) {
  auto* s = reinterpret_cast<Search*>(data);
  if (h == s->except || !IsWindowVisible(h) || ClassOf(h) != L"#32770") return TRUE;
  if (s->caption != nullptr && TextOf(h) != FromWide(s->caption)) return TRUE;
  s->found = h;
  return FALSE;
}

HWND Wait(DWORD thread_id, int timeout_ms, const wchar_t* caption, HWND except) {
  for (int waited = 0; waited <= timeout_ms; waited += kPollMs) {
    Search s{caption, except, nullptr};
    EnumThreadWindows(thread_id, FindDialog, reinterpret_cast<LPARAM>(&s));
    if (s.found != nullptr) return s.found;
    Sleep(kPollMs);
  }
  return nullptr;
}

}  // namespace

HWND WaitForDialog(DWORD thread_id, int timeout_ms, const wchar_t* caption) {
  return Wait(thread_id, timeout_ms, caption, nullptr);
}

HWND WaitForMessageBox(DWORD thread_id, HWND except, int timeout_ms) {
  for (int waited = 0; waited <= timeout_ms; waited += kPollMs) {
    HWND h = Wait(thread_id, 0, nullptr, except);
    if (h != nullptr && GetDlgItem(h, kMessageBoxTextId) != nullptr) return h;
    Sleep(kPollMs);
  }
  return nullptr;
}

bool RemoteDialog::WaitClosed(int timeout_ms) const {
  for (int waited = 0; waited <= timeout_ms; waited += kPollMs) {
    if (!Exists()) return true;
    Sleep(kPollMs);
  }
  return !Exists();
}

std::u16string RemoteDialog::Caption() const { return TextOf(dialog_); }
std::u16string RemoteDialog::Text(int id) const { return TextOf(Item(id)); }
std::u16string RemoteDialog::MessageText() const { return TextOf(Item(kMessageBoxTextId)); }
bool RemoteDialog::Enabled(int id) const {
  HWND h = Item(id);
  return h != nullptr && IsWindowEnabled(h);
}
bool RemoteDialog::Visible(int id) const {
  HWND h = Item(id);
  return h != nullptr && IsWindowVisible(h);
}
bool RemoteDialog::Checked(int id) const {
  HWND h = Item(id);
  return h != nullptr && SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int RemoteDialog::Position(int id) const {
  HWND h = Item(id);
  if (h == nullptr) return 0;
  const std::wstring cls = ClassOf(h);
  if (cls == PROGRESS_CLASSW) return static_cast<int>(SendMessageW(h, PBM_GETPOS, 0, 0));
  if (cls == TRACKBAR_CLASSW) return static_cast<int>(SendMessageW(h, TBM_GETPOS, 0, 0));
  if (cls == UPDOWN_CLASSW) return static_cast<int>(SendMessageW(h, UDM_GETPOS32, 0, 0));
  return 0;
}

bool RemoteDialog::Click(int id) const {
  HWND h = Item(id);
  if (h == nullptr || !IsWindowEnabled(h)) return false;
  return PostMessageW(h, BM_CLICK, 0, 0) != FALSE;
}

bool RemoteDialog::Type(int id, std::u16string_view text) const {
  HWND h = Item(id);
  if (h == nullptr || !IsWindowEnabled(h)) return false;
  const std::wstring w = Wide(text);
  return SendMessageW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(w.c_str())) != FALSE;
}

bool RemoteDialog::SelectComboItem(int id, int index) const {
  HWND h = Item(id);
  if (h == nullptr || !IsWindowEnabled(h)) return false;
  if (SendMessageW(h, CB_SETCURSEL, static_cast<WPARAM>(index), 0) != index) return false;
  // CB_SETCURSEL does not notify; a person's choice does.
  PostMessageW(dialog_, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(h));
  return true;
}

int RemoteDialog::ComboSelection(int id) const {
  HWND h = Item(id);
  return h == nullptr ? -1 : static_cast<int>(SendMessageW(h, CB_GETCURSEL, 0, 0));
}

std::u16string RemoteDialog::ComboText(int id) const {
  const int index = ComboSelection(id);
  if (index < 0) return {};
  HWND h = Item(id);
  const LRESULT n = SendMessageW(h, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (n <= 0) return {};
  std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
  SendMessageW(h, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(n));
  return std::u16string(text.begin(), text.end());
}

void RemoteDialog::Command(int id) const { PostMessageW(dialog_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

}  // namespace kit::ui::win32
