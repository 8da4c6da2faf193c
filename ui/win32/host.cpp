#include "ui/win32/host.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <tuple>

#include "ui/dialog_bytes.h"
#include "ui/win32/controls_more.h"
#include "ui/win32/shell_dialogs_win32.h"
#include "ui/win32/open_file_win32.h"

namespace kit::ui::win32 {
namespace {

// Posted to a dialog to run a queued page command.
constexpr UINT kPostedCommand = WM_APP + 1;
// Tooltips: shown after the pointer rests 1 s, wrapped at 300 pixels.
constexpr int kTooltipDelayMs = 1000;
constexpr int kTooltipWidth = 300;
// The scroll code that only ends a trackbar or up-down movement.
constexpr int kEndScroll = 8;

HINSTANCE g_instance = nullptr;

BOOL CALLBACK SetFontOnChild(HWND child, LPARAM font) {
  SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
  return TRUE;
}

// Logs a failing Win32 call with its name and error code.
void LogFailure(const char* api) {
  std::fprintf(stderr, "ui/win32: %s failed, error %lu\n", api, GetLastError());
}

}  // namespace

bool InitCommonControls() {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_INTERNET_CLASSES | ICC_PROGRESS_CLASS |
                                           ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_LISTVIEW_CLASSES |
                                           ICC_TREEVIEW_CLASSES | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  if (!InitCommonControlsEx(&icc)) {
    LogFailure("InitCommonControlsEx");
    return false;
  }
  return true;
}

void SetModuleInstance(HINSTANCE instance) { g_instance = instance; }
HINSTANCE ModuleInstance() { return g_instance != nullptr ? g_instance : GetModuleHandleW(nullptr); }

// ------------------------------------------------------------------ DialogHost

class DialogHost final : public Window {
 public:
  enum class Mode { kModal, kModeless, kChild, kSheetPage };

  DialogHost(Page& page, Mode mode) : page_(page), mode_(mode), bytes_(BuildDialogTemplateEx(page.Template())) {}
  ~DialogHost() override {
    if (hwnd_ != nullptr && mode_ != Mode::kSheetPage) DestroyWindow(hwnd_);
  }

  HWND hwnd() const { return hwnd_; }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }
  const DLGTEMPLATE* TemplateBytes() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }

  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  static INT_PTR CALLBACK PageProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

  // ---- Window
  void SetCaption(std::u16string_view text) override {
    Guard g(this);
    SetWindowTextW(hwnd_, Wide(text).c_str());
  }
  std::u16string Caption() const override { return WindowText(hwnd_); }
  void SetText(int id, std::u16string_view text) override {
    Guard g(this);
    if (HWND c = Item(id)) SetWindowTextW(c, Wide(text).c_str());
  }
  std::u16string Text(int id) const override { return WindowText(Item(id)); }
  void AppendText(int id, std::u16string_view text) override {
    Guard g(this);
    HWND c = Item(id);
    if (c == nullptr) return;
    const LRESULT end = GetWindowTextLengthW(c);
    SendMessageW(c, EM_SETSEL, end, end);
    SendMessageW(c, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(Wide(text).c_str()));
  }
  void Enable(int id, bool enabled) override {
    if (HWND c = Item(id)) EnableWindow(c, enabled);
  }
  bool IsEnabled(int id) const override {
    HWND c = Item(id);
    return c != nullptr && IsWindowEnabled(c);
  }
  void Show(int id, bool visible) override {
    if (HWND c = Item(id)) ShowWindow(c, visible ? SW_SHOW : SW_HIDE);
  }
  bool IsVisible(int id) const override {
    HWND c = Item(id);
    return c != nullptr && (GetWindowLongW(c, GWL_STYLE) & WS_VISIBLE) != 0;
  }
  void SetChecked(int id, bool checked) override {
    Guard g(this);
    if (HWND c = Item(id)) SendMessageW(c, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  bool IsChecked(int id) const override {
    HWND c = Item(id);
    return c != nullptr && SendMessageW(c, BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  void SetFocus(int id) override {
    if (HWND c = Item(id)) SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(c), TRUE);
  }

  void ClearItems(int id) override;
  int AddItem(int id, std::u16string_view text) override;
  void DeleteItem(int id, int index) override;
  int ItemCount(int id) const override;
  std::u16string ItemText(int id, int index) const override;
  void SetSelection(int id, int index) override;
  int Selection(int id) const override;
  void SetItemChecked(int id, int index, bool checked) override;
  bool IsItemChecked(int id, int index) const override;
  int AddTreeItem(int id, int parent, std::u16string_view text) override;
  void SelectTreeItem(int id, int item) override;
  int SelectedTreeItem(int id) const override;
  std::u16string TreeItemText(int id, int item) const override;
  void SetRange(int id, int low, int high) override;
  void SetPosition(int id, int position) override;
  int Position(int id) const override;
  void DrawBitmap(int id, const Bitmap& bitmap) override {
    bitmaps_[id] = bitmap;
    if (HWND c = Item(id)) InvalidateRect(c, nullptr, TRUE);
  }
  void SetFont(const FontSpec& font) override;
  void SetTooltip(int id, std::u16string_view text) override;
  void SetInputFilter(int id, bool (*accept)(char16_t)) override;
  void AddSystemMenuItem(int command, std::u16string_view text) override {
    HMENU menu = GetSystemMenu(hwnd_, FALSE);
    if (menu == nullptr) return;
    if (system_menu_.empty()) AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(command), Wide(text).c_str());
    system_menu_.push_back(command);
  }
  void SetIcon(int resource_id) override {
    for (const auto& [which, metric_x, metric_y] :
         {std::tuple{ICON_BIG, SM_CXICON, SM_CYICON}, std::tuple{ICON_SMALL, SM_CXSMICON, SM_CYSMICON}}) {
      auto icon = static_cast<HICON>(LoadImageW(ModuleInstance(), MAKEINTRESOURCEW(resource_id), IMAGE_ICON,
                                                GetSystemMetrics(metric_x), GetSystemMetrics(metric_y), LR_SHARED));
      if (icon == nullptr) {
        LogFailure("LoadImageW(icon)");
        return;
      }
      SendMessageW(hwnd_, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
    }
  }
  void Minimize() override { ShowWindow(hwnd_, SW_MINIMIZE); }
  void FitHorizontalExtent(int id) override;
  void SetColumn(int id, int column, std::u16string_view title, int width) override {
    if (HWND c = Item(id); c != nullptr && KindOf(id) == ControlKind::kListView) detail::SetListColumn(c, column, title, width);
  }
  void SetSubItemText(int id, int index, int column, std::u16string_view text) override {
    Guard g(this);
    if (HWND c = Item(id); c != nullptr && KindOf(id) == ControlKind::kListView) detail::SetListSubItemText(c, index, column, text);
  }
  std::u16string SubItemText(int id, int index, int column) const override {
    HWND c = Item(id);
    return c != nullptr && KindOf(id) == ControlKind::kListView ? detail::ListSubItemText(c, index, column) : std::u16string();
  }
  void EnsureItemVisible(int id, int index) override {
    if (HWND c = Item(id); c != nullptr && KindOf(id) == ControlKind::kListView) SendMessageW(c, LVM_ENSUREVISIBLE, index, FALSE);
  }
  void SetTreeImages(int id, const std::vector<int>& icon_ids) override {
    if (HWND c = Item(id); c != nullptr && KindOf(id) == ControlKind::kTreeView) detail::SetTreeIconImages(c, icon_ids);
  }
  int AddTreeItemWithImage(int id, int parent, std::u16string_view text, int image) override {
    const int item = AddTreeItem(id, parent, text);
    if (item > 0) detail::SetTreeItemImage(Item(id), tree_items_[id][item - 1], image);
    return item;
  }
  void ExpandTreeItem(int id, int item) override {
    HWND c = Item(id);
    const auto& items = tree_items_[id];
    if (c != nullptr && item > 0 && item <= static_cast<int>(items.size()))
      SendMessageW(c, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(items[item - 1]));
  }
  void SetTreeItemText(int id, int item, std::u16string_view text) override {
    HWND c = Item(id);
    const auto& items = tree_items_[id];
    if (c == nullptr || item <= 0 || item > static_cast<int>(items.size())) return;
    std::wstring w = Wide(text);
    TVITEMW tv{};
    tv.mask = TVIF_HANDLE | TVIF_TEXT;
    tv.hItem = items[item - 1];
    tv.pszText = w.data();
    SendMessageW(c, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
  }
  void ScrollTreeTo(int id, int item) override {
    HWND c = Item(id);
    const auto& items = tree_items_[id];
    if (c != nullptr && item > 0 && item <= static_cast<int>(items.size()))
      SendMessageW(c, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(items[item - 1]));
  }
  void ShowBitmapResource(int id, int resource_id) override {
    resource_bitmaps_[id] = resource_id;
    bitmaps_.erase(id);
    if (HWND c = Item(id)) InvalidateRect(c, nullptr, TRUE);
  }
  void SetKeyFilter(int id, KeyFilter filter) override {
    if (HWND c = Item(id)) detail::SetEditKeyFilter(c, filter);
  }
  int SheetTabCount() const override {
    HWND tab = SheetTabs();
    return tab != nullptr ? static_cast<int>(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0)) : 0;
  }
  void SetSheetTabTitle(int index, std::u16string_view title) override {
    HWND tab = SheetTabs();
    if (tab == nullptr) return;
    std::wstring w = Wide(title);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = w.data();
    SendMessageW(tab, TCM_SETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  }
  int MessageBox(std::u16string_view text, std::u16string_view caption, std::uint32_t style) override {
    return MessageBoxW(hwnd_, Wide(text).c_str(), Wide(caption).c_str(), style);
  }
  std::optional<std::u16string> OpenFileDialog(const OpenFileRequest& request) override {
    return win32::OpenFileDialog(hwnd_, request);
  }
  std::optional<std::u16string> BrowseForFolder(std::u16string_view title) override {
    return win32::BrowseForFolder(hwnd_, title);
  }
  int RelabelOtherSheets(std::u16string_view title_part, const std::vector<std::u16string>& titles) override {
    return win32::RelabelOtherSheets(mode_ == Mode::kSheetPage ? GetParent(hwnd_) : hwnd_, title_part, titles);
  }
  int RunModal(Page& page) override { return win32::RunModal(page, hwnd_); }
  Window* CreateChild(Page& page, int frame_id) override;
  void ShowChild(Window& child, bool visible) override {
    for (auto& c : children_)
      if (c.get() == &child) ShowWindow(c->hwnd_, visible ? SW_SHOW : SW_HIDE);
  }
  void SheetChanged() override { SendMessageW(GetParent(hwnd_), PSM_CHANGED, reinterpret_cast<WPARAM>(hwnd_), 0); }
  void SheetUnchanged() override { SendMessageW(GetParent(hwnd_), PSM_UNCHANGED, reinterpret_cast<WPARAM>(hwnd_), 0); }
  std::intptr_t SendToParent(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) override {
    return SendMessageW(GetParent(hwnd_), message, wparam, lparam);
  }
  void PostToParent(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) override {
    PostMessageW(GetParent(hwnd_), message, wparam, lparam);
  }
  void PostCommand(int id) override { PostMessageW(hwnd_, kPostedCommand, static_cast<WPARAM>(id), 0); }
  void SetTimer(int timer_id, int milliseconds) override {
    if (::SetTimer(hwnd_, static_cast<UINT_PTR>(timer_id), static_cast<UINT>(milliseconds), nullptr) == 0)
      LogFailure("SetTimer");
  }
  void KillTimer(int timer_id) override { ::KillTimer(hwnd_, static_cast<UINT_PTR>(timer_id)); }
  void Invalidate() override { InvalidateRect(hwnd_, nullptr, TRUE); }
  void EndDialog(int result) override {
    switch (mode_) {
      case Mode::kModal:
        ::EndDialog(hwnd_, result);
        // Wake the modal loop so the window goes at once, not at the next
        // input message (Wine's loop otherwise waits for one).
        PostMessageW(hwnd_, WM_NULL, 0, 0);
        break;
      case Mode::kModeless: DestroyWindow(hwnd_); break;
      case Mode::kChild:
      case Mode::kSheetPage: ShowWindow(hwnd_, SW_HIDE); break;
    }
  }

 private:
  // Notifications caused by the page's own calls (an edit's change when the
  // page sets its text, a list view's item change when the page checks an
  // item) are not passed back to the page: it only hears what the user did,
  // as in the headless host.
  struct Guard {
    explicit Guard(DialogHost* h) : host(h) { ++host->page_call_; }
    ~Guard() { --host->page_call_; }
    DialogHost* host;
  };

  HWND Item(int id) const { return hwnd_ != nullptr ? GetDlgItem(hwnd_, id) : nullptr; }
  // The tab control of the sheet around a page, found by its class.
  HWND SheetTabs() const {
    if (mode_ != Mode::kSheetPage || hwnd_ == nullptr) return nullptr;
    return FindWindowExW(GetParent(hwnd_), nullptr, WC_TABCONTROLW, nullptr);
  }
  const ControlTemplate* Def(int id) const { return page_.Template().Find(id); }
  ControlKind KindOf(int id) const {
    const ControlTemplate* d = Def(id);
    return d != nullptr ? d->kind : ControlKind::kStatic;
  }
  static std::u16string WindowText(HWND h) {
    if (h == nullptr) return {};
    const int n = GetWindowTextLengthW(h);
    std::wstring s(static_cast<std::size_t>(n) + 1, L'\0');
    const int got = GetWindowTextW(h, s.data(), n + 1);
    s.resize(static_cast<std::size_t>(std::max(got, 0)));
    return FromWide(s);
  }

  void Attach(HWND hwnd);
  void Command(int id, Notify code);
  INT_PTR Handle(UINT message, WPARAM wparam, LPARAM lparam);
  bool HandleNotify(const NMHDR* header, LRESULT* result);
  void PaintPicture(const DRAWITEMSTRUCT* draw);
  static LRESULT CALLBACK FilterProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

  Page& page_;
  Mode mode_;
  std::vector<std::uint8_t> bytes_;
  HWND hwnd_ = nullptr;
  int page_call_ = 0;
  HFONT font_ = nullptr;
  HWND tooltip_ = nullptr;
  std::map<int, Bitmap> bitmaps_;
  std::map<int, int> resource_bitmaps_;  // picture control -> bitmap resource id
  std::map<int, std::vector<HTREEITEM>> tree_items_;
  std::vector<int> system_menu_;
  std::vector<std::unique_ptr<DialogHost>> children_;

  friend int win32::RunModal(Page&, HWND);
  friend class win32::ModelessDialog;
  friend class win32::PropertyPageRecord;
};

void DialogHost::Attach(HWND hwnd) {
  hwnd_ = hwnd;
  SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(this));
  tree_items_.clear();
  Guard g(this);
  // What the template says that the dialog template bytes cannot carry.
  for (const auto& c : page_.Template().controls) {
    HWND h = GetDlgItem(hwnd, c.id);
    if (h == nullptr) continue;
    if (c.text_limit > 0) {
      SendMessageW(h, c.kind == ControlKind::kComboBox ? CB_LIMITTEXT : EM_LIMITTEXT,
                   static_cast<WPARAM>(c.text_limit), 0);
    }
    if (c.kind == ControlKind::kListView) {
      const DWORD ex = ListViewExStyleBits(c);
      SendMessageW(h, LVM_SETEXTENDEDLISTVIEWSTYLE, ex, ex);
      if (c.Has(kReportView)) {
        RECT r;
        GetClientRect(h, &r);
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH;
        column.cx = r.right - r.left;
        SendMessageW(h, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
      }
    }
    if (c.kind == ControlKind::kUpDown && c.buddy != 0) {
      SendMessageW(h, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(hwnd, c.buddy)), 0);
    }
  }
}

void DialogHost::Command(int id, Notify code) {
  const bool handled = page_.OnCommand(*this, id, code);
  if (!handled && code == Notify::kClicked && (id == kIdOk || id == kIdCancel) &&
      (mode_ == Mode::kModal || mode_ == Mode::kModeless))
    EndDialog(id);
}

INT_PTR CALLBACK DialogHost::DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* host = reinterpret_cast<DialogHost*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (message == WM_INITDIALOG) {
    host = reinterpret_cast<DialogHost*>(lparam);
    host->Attach(hwnd);
  }
  return host != nullptr ? host->Handle(message, wparam, lparam) : FALSE;
}

INT_PTR CALLBACK DialogHost::PageProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* host = reinterpret_cast<DialogHost*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (message == WM_INITDIALOG) {
    // A sheet page gets its own copy of the page record; the host rides in its lParam.
    host = reinterpret_cast<DialogHost*>(reinterpret_cast<const PROPSHEETPAGEW*>(lparam)->lParam);
    host->Attach(hwnd);
  }
  return host != nullptr ? host->Handle(message, wparam, lparam) : FALSE;
}

INT_PTR DialogHost::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      page_.OnInit(*this);
      return TRUE;
    case WM_COMMAND: {
      if (page_call_ > 0) return TRUE;
      const int id = LOWORD(wparam);
      const int code = HIWORD(wparam);
      if (lparam == 0) {  // Enter, Escape or an accelerator
        Command(id, Notify::kClicked);
        return TRUE;
      }
      switch (KindOf(id)) {
        case ControlKind::kPushButton:
        case ControlKind::kCheckBox:
        case ControlKind::kRadioButton:
        case ControlKind::kStatic:
        case ControlKind::kPicture:
          if (code == BN_CLICKED) Command(id, Notify::kClicked);
          break;
        case ControlKind::kEdit:
          if (code == EN_CHANGE) Command(id, Notify::kChanged);
          if (code == EN_KILLFOCUS) Command(id, Notify::kKillFocus);
          break;
        case ControlKind::kListBox:
          if (code == LBN_SELCHANGE) Command(id, Notify::kSelChanged);
          if (code == LBN_DBLCLK) Command(id, Notify::kDoubleClicked);
          break;
        case ControlKind::kComboBox:
          if (code == CBN_SELCHANGE) Command(id, Notify::kSelChanged);
          if (code == CBN_EDITCHANGE) Command(id, Notify::kChanged);
          break;
        case ControlKind::kIpAddress:
          if (code == EN_CHANGE) Command(id, Notify::kChanged);
          break;
        default: break;
      }
      return TRUE;
    }
    case kPostedCommand:
      Command(static_cast<int>(wparam), Notify::kClicked);
      return TRUE;
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (HandleNotify(reinterpret_cast<const NMHDR*>(lparam), &result)) {
        SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
        return TRUE;
      }
      return FALSE;
    }
    case WM_HSCROLL:
    case WM_VSCROLL: {
      if (page_call_ > 0 || lparam == 0 || LOWORD(wparam) == kEndScroll) return FALSE;
      const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lparam));
      const ControlKind kind = KindOf(id);
      if (kind == ControlKind::kTrackbar || kind == ControlKind::kUpDown) Command(id, Notify::kScrolled);
      return TRUE;
    }
    case WM_TIMER:
      page_.OnTimer(*this, static_cast<int>(wparam));
      return TRUE;
    case WM_PAINT: {
      class GdiPainter final : public Painter {
       public:
        GdiPainter(HWND hwnd, HDC dc) : hwnd_(hwnd), dc_(dc) {}
        Rect ClientRect() const override {
          RECT r;
          GetClientRect(hwnd_, &r);
          return {r.left, r.top, r.right - r.left, r.bottom - r.top};
        }
        void DrawText(const Rect& box, std::u16string_view text, const FontSpec& font, Color color,
                      TextAlign align) override {
          HFONT f = CreateFontW(font.height, 0, 0, 0, font.weight, font.italic, FALSE, FALSE, font.charset,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, font.pitch_and_family,
                                Wide(font.face).c_str());
          HGDIOBJ old = SelectObject(dc_, f);
          SetTextColor(dc_, RGB(color.r, color.g, color.b));
          SetBkMode(dc_, TRANSPARENT);
          RECT r{box.x, box.y, box.x + box.cx, box.y + box.cy};
          std::wstring w = Wide(text);
          UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | (align == TextAlign::kCenter ? DT_CENTER : DT_LEFT);
          ::DrawTextW(dc_, w.c_str(), static_cast<int>(w.size()), &r, format);
          SelectObject(dc_, old);
          DeleteObject(f);
        }
        void FillRect(const Rect& box, Color color) override {
          HBRUSH b = CreateSolidBrush(RGB(color.r, color.g, color.b));
          RECT r{box.x, box.y, box.x + box.cx, box.y + box.cy};
          ::FillRect(dc_, &r, b);
          DeleteObject(b);
        }

       private:
        HWND hwnd_;
        HDC dc_;
      };
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      GdiPainter painter(hwnd_, dc);
      page_.OnPaint(*this, painter);
      EndPaint(hwnd_, &ps);
      return TRUE;
    }
    case WM_DRAWITEM: {
      const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (draw->CtlType != ODT_STATIC) return FALSE;
      PaintPicture(draw);
      return TRUE;
    }
    case WM_SYSCOMMAND: {
      const int command = static_cast<int>(wparam & 0xFFF0);
      if (std::find(system_menu_.begin(), system_menu_.end(), command) == system_menu_.end()) return FALSE;
      Command(command, Notify::kMenu);
      SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, 0);
      return TRUE;
    }
    case WM_HELP:
      return page_.OnHelp(*this) ? TRUE : FALSE;
    case WM_DESTROY:
      page_.OnDestroy(*this);
      children_.clear();
      if (font_ != nullptr) {
        DeleteObject(font_);
        font_ = nullptr;
      }
      tooltip_ = nullptr;  // owned by the dialog, destroyed with it
      return FALSE;
    case WM_NCDESTROY:
      hwnd_ = nullptr;
      return FALSE;
    default: return FALSE;
  }
}

bool DialogHost::HandleNotify(const NMHDR* header, LRESULT* result) {
  SheetEvent event;
  switch (header->code) {
    case PSN_SETACTIVE: event = SheetEvent::kSetActive; break;
    case PSN_KILLACTIVE: event = SheetEvent::kKillActive; break;
    case PSN_APPLY: event = SheetEvent::kApply; break;
    case PSN_QUERYCANCEL: event = SheetEvent::kQueryCancel; break;
    case LVN_ITEMCHANGED: {
      if (page_call_ > 0) return false;
      const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
      if ((change->uChanged & LVIF_STATE) == 0) return false;
      const UINT changed = change->uNewState ^ change->uOldState;
      if (changed & LVIS_STATEIMAGEMASK) Command(static_cast<int>(header->idFrom), Notify::kChanged);
      if (changed & LVIS_SELECTED) Command(static_cast<int>(header->idFrom), Notify::kSelChanged);
      return false;
    }
    case NM_DBLCLK:
      if (page_call_ == 0 && KindOf(static_cast<int>(header->idFrom)) == ControlKind::kListView)
        Command(static_cast<int>(header->idFrom), Notify::kDoubleClicked);
      return false;
    case NM_RELEASEDCAPTURE:
      if (page_call_ == 0 && KindOf(static_cast<int>(header->idFrom)) == ControlKind::kTrackbar)
        Command(static_cast<int>(header->idFrom), Notify::kReleased);
      return false;
    case TVN_SELCHANGEDW:
      if (page_call_ == 0) Command(static_cast<int>(header->idFrom), Notify::kSelChanged);
      return false;
    default: return false;
  }
  const bool refuse = page_.OnSheet(*this, event) == SheetReply::kRefuse;
  switch (event) {
    case SheetEvent::kSetActive: *result = refuse ? -1 : 0; break;
    case SheetEvent::kKillActive: *result = refuse ? TRUE : FALSE; break;
    case SheetEvent::kApply: *result = refuse ? PSNRET_INVALID_NOCHANGEPAGE : PSNRET_NOERROR; break;
    case SheetEvent::kQueryCancel: *result = refuse ? TRUE : FALSE; break;
  }
  return true;
}

void DialogHost::PaintPicture(const DRAWITEMSTRUCT* draw) {
  const RECT& r = draw->rcItem;
  if (const auto res = resource_bitmaps_.find(static_cast<int>(draw->CtlID));
      res != resource_bitmaps_.end() && res->second != 0 && bitmaps_.count(res->first) == 0) {
    if (!detail::PaintBitmapResource(draw->hDC, r, res->second)) FillRect(draw->hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  const auto it = bitmaps_.find(static_cast<int>(draw->CtlID));
  if (it == bitmaps_.end() || it->second.Empty()) {
    FillRect(draw->hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  const Bitmap& b = it->second;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = b.width;
  info.bmiHeader.biHeight = -b.height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetStretchBltMode(draw->hDC, COLORONCOLOR);
  StretchDIBits(draw->hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, 0, 0, b.width, b.height,
                b.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

// ---- items

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
    case ControlKind::kTrackbar:
      SendMessageW(c, TBM_SETRANGEMIN, FALSE, low);
      SendMessageW(c, TBM_SETRANGEMAX, TRUE, high);
      break;
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
  if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, FilterProc, id);
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

void DialogHost::SetInputFilter(int id, bool (*accept)(char16_t)) {
  HWND c = Item(id);
  if (c == nullptr) return;
  if (accept == nullptr) {
    RemoveWindowSubclass(c, FilterProc, static_cast<UINT_PTR>(id));
    return;
  }
  if (!SetWindowSubclass(c, FilterProc, static_cast<UINT_PTR>(id), reinterpret_cast<DWORD_PTR>(accept)))
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

Window* DialogHost::CreateChild(Page& page, int frame_id) {
  HWND frame = Item(frame_id);
  if (frame == nullptr) return nullptr;
  auto child = std::make_unique<DialogHost>(page, Mode::kChild);
  HWND h = CreateDialogIndirectParamW(ModuleInstance(), child->TemplateBytes(), hwnd_, DialogProc,
                                      reinterpret_cast<LPARAM>(child.get()));
  if (h == nullptr) {
    LogFailure("CreateDialogIndirectParamW");
    return nullptr;
  }
  RECT r;
  GetWindowRect(frame, &r);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
  SetWindowPos(h, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(h, SW_HIDE);
  children_.push_back(std::move(child));
  return children_.back().get();
}

// ------------------------------------------------------------------ entry points

int RunModal(Page& page, HWND owner) {
  DialogHost host(page, DialogHost::Mode::kModal);
  const INT_PTR result = DialogBoxIndirectParamW(ModuleInstance(), host.TemplateBytes(), owner,
                                                 DialogHost::DialogProc, reinterpret_cast<LPARAM>(&host));
  if (result == -1) LogFailure("DialogBoxIndirectParamW");
  return static_cast<int>(result);
}

ModelessDialog::ModelessDialog(Page& page, HWND owner)
    : host_(std::make_unique<DialogHost>(page, DialogHost::Mode::kModeless)) {
  HWND h = CreateDialogIndirectParamW(ModuleInstance(), host_->TemplateBytes(), owner, DialogHost::DialogProc,
                                      reinterpret_cast<LPARAM>(host_.get()));
  if (h == nullptr) {
    LogFailure("CreateDialogIndirectParamW");
    return;
  }
  ShowWindow(h, SW_SHOW);
}

ModelessDialog::~ModelessDialog() = default;
HWND ModelessDialog::hwnd() const { return host_->hwnd(); }
bool ModelessDialog::Alive() const { return host_->hwnd() != nullptr; }

PropertyPageRecord::PropertyPageRecord(Page& page, Options options)
    : host_(std::make_unique<DialogHost>(page, DialogHost::Mode::kSheetPage)),
      bytes_(host_->bytes()),
      title_(Wide(options.title)) {
  record_.dwSize = options.record_size != 0 ? options.record_size : sizeof record_;
  record_.dwFlags = PSP_DLGINDIRECT | PSP_USETITLE | options.extra_flags;
  record_.hInstance = options.instance != nullptr ? options.instance : ModuleInstance();
  record_.pResource = reinterpret_cast<const DLGTEMPLATE*>(bytes_.data());
  record_.pszTitle = title_.c_str();
  record_.pfnDlgProc = DialogHost::PageProc;
  record_.lParam = reinterpret_cast<LPARAM>(host_.get());
  if (options.activation_context != nullptr) record_.hActCtx = options.activation_context;
}

PropertyPageRecord::~PropertyPageRecord() = default;
HWND PropertyPageRecord::hwnd() const { return host_->hwnd(); }

INT_PTR RunPropertySheet(std::u16string_view caption, const std::vector<PropertyPageRecord*>& pages, HWND owner) {
  std::vector<PROPSHEETPAGEW> records;
  for (const auto* p : pages) records.push_back(p->Record());
  const std::wstring title = Wide(caption);
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOCONTEXTHELP;
  header.hwndParent = owner;
  header.hInstance = ModuleInstance();
  header.pszCaption = title.c_str();
  header.nPages = static_cast<UINT>(records.size());
  header.ppsp = records.data();
  const INT_PTR result = PropertySheetW(&header);
  if (result < 0) LogFailure("PropertySheetW");
  return result;
}

}  // namespace kit::ui::win32
