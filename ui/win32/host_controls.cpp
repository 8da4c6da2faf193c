// The Win32 dialog host's calls on its controls: list and combo items, list
// views, tree items, trackbars and up-downs, the dialog font, tooltips, key
// filters and list boxes' sideways scrolling. Windows builds only.
#include "ui/win32/dialog_host.h"
#include "ui/win32/subclass_win32.h"

#include <algorithm>
#include <tuple>

namespace kit::ui::win32 {
namespace {

BOOL CALLBACK SetFontOnChild(HWND child, LPARAM font) {
  SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
  return TRUE;
}

}  // namespace

void DialogHost::ClearItems(int id) {
  Guard g(this);
  HWND c = Item(id);
  if (c == nullptr) return;
  switch (KindOf(id)) {
    case ControlKind::kListBox: SendMessageW(c, LB_RESETCONTENT, 0, 0); break;
    case ControlKind::kComboBox: SendMessageW(c, CB_RESETCONTENT, 0, 0); break;
    case ControlKind::kListView: SendMessageW(c, LVM_DELETEALLITEMS, 0, 0); break;
    case ControlKind::kTreeView:
      SendMessageW(c, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
      tree_items_[id].clear();
      break;
    default: break;
  }
}

int DialogHost::AddItem(int id, std::u16string_view text) {
  Guard g(this);
  HWND c = Item(id);
  if (c == nullptr) return -1;
  std::wstring w = Wide(text);
  switch (KindOf(id)) {
    case ControlKind::kListBox:
      return static_cast<int>(SendMessageW(c, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str())));
    case ControlKind::kComboBox:
      return static_cast<int>(SendMessageW(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str())));
    case ControlKind::kListView: {
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(SendMessageW(c, LVM_GETITEMCOUNT, 0, 0));
      item.pszText = w.data();
      return static_cast<int>(SendMessageW(c, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    }
    default: return -1;
  }
}

void DialogHost::DeleteItem(int id, int index) {
  Guard g(this);
  HWND c = Item(id);
  if (c == nullptr) return;
  switch (KindOf(id)) {
    case ControlKind::kListBox: SendMessageW(c, LB_DELETESTRING, index, 0); break;
    case ControlKind::kComboBox: SendMessageW(c, CB_DELETESTRING, index, 0); break;
    case ControlKind::kListView: SendMessageW(c, LVM_DELETEITEM, index, 0); break;
    default: break;
  }
}

int DialogHost::ItemCount(int id) const {
  HWND c = Item(id);
  if (c == nullptr) return 0;
  LRESULT n = 0;
  switch (KindOf(id)) {
    case ControlKind::kListBox: n = SendMessageW(c, LB_GETCOUNT, 0, 0); break;
    case ControlKind::kComboBox: n = SendMessageW(c, CB_GETCOUNT, 0, 0); break;
    case ControlKind::kListView: n = SendMessageW(c, LVM_GETITEMCOUNT, 0, 0); break;
    default: break;
  }
  return n < 0 ? 0 : static_cast<int>(n);
}

std::u16string DialogHost::ItemText(int id, int index) const {
  HWND c = Item(id);
  if (c == nullptr || index < 0 || index >= ItemCount(id)) return {};
  std::wstring s;
  switch (KindOf(id)) {
    case ControlKind::kListBox: {
      const LRESULT n = SendMessageW(c, LB_GETTEXTLEN, index, 0);
      if (n < 0) return {};
      s.resize(static_cast<std::size_t>(n) + 1);
      s.resize(static_cast<std::size_t>(std::max<LRESULT>(0, SendMessageW(c, LB_GETTEXT, index, reinterpret_cast<LPARAM>(s.data())))));
      break;
    }
    case ControlKind::kComboBox: {
      const LRESULT n = SendMessageW(c, CB_GETLBTEXTLEN, index, 0);
      if (n < 0) return {};
      s.resize(static_cast<std::size_t>(n) + 1);
      s.resize(static_cast<std::size_t>(std::max<LRESULT>(0, SendMessageW(c, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(s.data())))));
      break;
    }
    case ControlKind::kListView: {
      // The list view reports how much it copied; grow until the text fits.
      for (std::size_t size = 256;; size *= 2) {
        s.assign(size, L'\0');
        LVITEMW item{};
        item.iSubItem = 0;
        item.cchTextMax = static_cast<int>(size);
        item.pszText = s.data();
        const LRESULT got = SendMessageW(c, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
        if (static_cast<std::size_t>(got) + 1 < size) {
          s.resize(static_cast<std::size_t>(got));
          break;
        }
      }
      break;
    }
    default: return {};
  }
  return FromWide(s);
}

void DialogHost::SetSelection(int id, int index) {
  Guard g(this);
  HWND c = Item(id);
  if (c == nullptr) return;
  switch (KindOf(id)) {
    case ControlKind::kListBox: SendMessageW(c, LB_SETCURSEL, index, 0); break;
    case ControlKind::kComboBox: SendMessageW(c, CB_SETCURSEL, index, 0); break;
    case ControlKind::kListView: {
      LVITEMW item{};
      item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
      item.state = 0;
      SendMessageW(c, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
      if (index >= 0) {
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(c, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
        SendMessageW(c, LVM_ENSUREVISIBLE, index, FALSE);
      }
      break;
    }
    default: break;
  }
}

int DialogHost::Selection(int id) const {
  HWND c = Item(id);
  if (c == nullptr) return -1;
  LRESULT n = -1;
  switch (KindOf(id)) {
    case ControlKind::kListBox: n = SendMessageW(c, LB_GETCURSEL, 0, 0); break;
    case ControlKind::kComboBox: n = SendMessageW(c, CB_GETCURSEL, 0, 0); break;
    case ControlKind::kListView: n = SendMessageW(c, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED); break;
    default: break;
  }
  return n < 0 ? -1 : static_cast<int>(n);
}

void DialogHost::SetItemChecked(int id, int index, bool checked) {
  Guard g(this);
  HWND c = Item(id);
  if (c == nullptr || KindOf(id) != ControlKind::kListView) return;
  LVITEMW item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
  SendMessageW(c, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
}

bool DialogHost::IsItemChecked(int id, int index) const {
  HWND c = Item(id);
  if (c == nullptr || KindOf(id) != ControlKind::kListView) return false;
  const LRESULT state = SendMessageW(c, LVM_GETITEMSTATE, index, LVIS_STATEIMAGEMASK);
  return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

int DialogHost::AddTreeItem(int id, int parent, std::u16string_view text) {
  Guard g(this);
  HWND c = Item(id);
  auto& items = tree_items_[id];
  if (c == nullptr || parent < 0 || parent > static_cast<int>(items.size())) return 0;
  std::wstring w = Wide(text);
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent == 0 ? TVI_ROOT : items[parent - 1];
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT;
  insert.item.pszText = w.data();
  auto handle = reinterpret_cast<HTREEITEM>(SendMessageW(c, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
  if (handle == nullptr) return 0;
  items.push_back(handle);
  return static_cast<int>(items.size());
}

void DialogHost::SelectTreeItem(int id, int item) {
  Guard g(this);
  HWND c = Item(id);
  auto& items = tree_items_[id];
  if (c == nullptr || item < 0 || item > static_cast<int>(items.size())) return;
  SendMessageW(c, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item == 0 ? nullptr : items[item - 1]));
}

int DialogHost::SelectedTreeItem(int id) const {
  HWND c = Item(id);
  const auto it = tree_items_.find(id);
  if (c == nullptr || it == tree_items_.end()) return 0;
  auto handle = reinterpret_cast<HTREEITEM>(SendMessageW(c, TVM_GETNEXTITEM, TVGN_CARET, 0));
  const auto pos = std::find(it->second.begin(), it->second.end(), handle);
  return pos == it->second.end() ? 0 : static_cast<int>(pos - it->second.begin()) + 1;
}

std::u16string DialogHost::TreeItemText(int id, int item) const {
  HWND c = Item(id);
  const auto it = tree_items_.find(id);
  if (c == nullptr || it == tree_items_.end() || item < 1 || item > static_cast<int>(it->second.size())) return {};
  std::wstring s(1024, L'\0');
  TVITEMW tv{};
  tv.mask = TVIF_TEXT;
  tv.hItem = it->second[item - 1];
  tv.pszText = s.data();
  tv.cchTextMax = static_cast<int>(s.size());
  if (!SendMessageW(c, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv))) return {};
  s.resize(wcslen(s.c_str()));
  return FromWide(s);
}

// ---- ranges

void DialogHost::SetRange(int id, int low, int high) {
  Guard g(this);
  HWND c = Item(id);
  if (c == nullptr) return;
  switch (KindOf(id)) {
    case ControlKind::kTrackbar: {
      SendMessageW(c, TBM_SETRANGEMIN, FALSE, low);
      SendMessageW(c, TBM_SETRANGEMAX, TRUE, high);
      // Wine draws the thumb where the old range put it until the position
      // changes: move it away and back (no notification either way).
      const LRESULT position = SendMessageW(c, TBM_GETPOS, 0, 0);
      SendMessageW(c, TBM_SETPOS, FALSE, position == high ? low : high);
      SendMessageW(c, TBM_SETPOS, TRUE, position);
      break;
    }
    case ControlKind::kUpDown: SendMessageW(c, UDM_SETRANGE32, low, high); break;
    case ControlKind::kProgressBar: SendMessageW(c, PBM_SETRANGE32, low, high); break;
    default: break;
  }
}

void DialogHost::SetPosition(int id, int position) {
  Guard g(this);
  HWND c = Item(id);
  if (c == nullptr) return;
  switch (KindOf(id)) {
    case ControlKind::kTrackbar: SendMessageW(c, TBM_SETPOS, TRUE, position); break;
    case ControlKind::kUpDown: SendMessageW(c, UDM_SETPOS32, 0, position); break;
    case ControlKind::kProgressBar: SendMessageW(c, PBM_SETPOS, position, 0); break;
    default: break;
  }
}

int DialogHost::Position(int id) const {
  HWND c = Item(id);
  if (c == nullptr) return 0;
  switch (KindOf(id)) {
    case ControlKind::kTrackbar: return static_cast<int>(SendMessageW(c, TBM_GETPOS, 0, 0));
    case ControlKind::kUpDown: return static_cast<int>(SendMessageW(c, UDM_GETPOS32, 0, 0));
    case ControlKind::kProgressBar: return static_cast<int>(SendMessageW(c, PBM_GETPOS, 0, 0));
    default: return 0;
  }
}

// ---- fonts, tooltips, filters

void DialogHost::SetFont(const FontSpec& font) {
  HFONT f = CreateFontW(font.height, 0, 0, 0, font.weight, font.italic, FALSE, FALSE, font.charset,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, font.pitch_and_family,
                        Wide(font.face).c_str());
  if (f == nullptr) {
    LogFailure("CreateFontW");
    return;
  }
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(f), TRUE);
  EnumChildWindows(hwnd_, SetFontOnChild, reinterpret_cast<LPARAM>(f));
  if (font_ != nullptr) DeleteObject(font_);
  font_ = f;
}

void DialogHost::SetTooltip(int id, std::u16string_view text) {
  HWND c = Item(id);
  if (c == nullptr) return;
  if (tooltip_ == nullptr) {
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                               ModuleInstance(), nullptr);
    if (tooltip_ == nullptr) {
      LogFailure("CreateWindowExW(tooltips_class32)");
      return;
    }
    SendMessageW(tooltip_, TTM_SETDELAYTIME, TTDT_AUTOMATIC, kTooltipDelayMs);
    SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, kTooltipWidth);
  }
  std::wstring w = Wide(text);
  TOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = hwnd_;
  info.uId = reinterpret_cast<UINT_PTR>(c);
  info.hinst = ModuleInstance();
  info.lpszText = w.data();
  // Adding an existing tool again would show two tips: update it instead.
  TOOLINFOW probe = info;
  probe.lpszText = nullptr;
  if (SendMessageW(tooltip_, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&probe)))
    SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
  else
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

LRESULT CALLBACK DialogHost::FilterProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                        DWORD_PTR data) {
  auto accept = reinterpret_cast<bool (*)(char16_t)>(data);
  if (message == WM_CHAR && wparam >= 0x20 && !accept(static_cast<char16_t>(wparam))) return 0;
  if (message == WM_NCDESTROY) RemoveSubclass(hwnd, FilterProc, id);
  return DefSubclass(hwnd, message, wparam, lparam);
}

void DialogHost::SetInputFilter(int id, bool (*accept)(char16_t)) {
  HWND c = Item(id);
  if (c == nullptr) return;
  if (accept == nullptr) {
    RemoveSubclass(c, FilterProc, static_cast<UINT_PTR>(id));
    return;
  }
  if (!SetSubclass(c, FilterProc, static_cast<UINT_PTR>(id), reinterpret_cast<DWORD_PTR>(accept)))
    LogFailure("SetWindowSubclass");
}

void DialogHost::FitHorizontalExtent(int id) {
  HWND c = Item(id);
  if (c == nullptr || KindOf(id) != ControlKind::kListBox) return;
  HDC dc = GetDC(c);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(c, WM_GETFONT, 0, 0)));
  LONG widest = 0;
  const int count = ItemCount(id);
  for (int i = 0; i < count; ++i) {
    const std::wstring text = Wide(ItemText(id, i));
    SIZE size{};
    if (GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size)) widest = std::max(widest, size.cx);
  }
  SelectObject(dc, old);
  ReleaseDC(c, dc);
  SendMessageW(c, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest), 0);
}

// ---- children

}  // namespace kit::ui::win32
