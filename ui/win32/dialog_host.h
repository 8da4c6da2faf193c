// The Win32 host's dialog window: one class behind every modal, modeless,
// child and property-sheet page window. Internal to ui/win32: host.cpp holds
// its message handling, host_controls.cpp its list, tree, trackbar, font and
// tooltip calls. Windows builds only.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/dialog_bytes.h"
#include "ui/win32/controls_more.h"
#include "ui/win32/file_dialog_win32.h"
#include "ui/win32/host.h"
#include "ui/win32/shell_dialogs_win32.h"

namespace kit::ui::win32 {

// Posted to a dialog to run a queued page command.
inline constexpr UINT kPostedCommand = WM_APP + 1;
// Tooltips: shown after the pointer rests 1 s, wrapped at 300 pixels.
inline constexpr int kTooltipDelayMs = 1000;
inline constexpr int kTooltipWidth = 300;

// Logs a failing Win32 call with its name and error code.
void LogFailure(const char* api);


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
      if (which == ICON_BIG) icon_ = icon;
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
  std::optional<std::u16string> BrowseForFolder(std::u16string_view title) override {
    return win32::BrowseForFolder(hwnd_, title);
  }
  std::optional<std::u16string> OpenFile(const OpenFileRequest& request) override {
    return win32::OpenFile(hwnd_, request);
  }
  void SetTrackbarSteps(int id, int page_size, int line_size) override {
    if (HWND c = Item(id); c != nullptr && KindOf(id) == ControlKind::kTrackbar) {
      SendMessageW(c, TBM_SETPAGESIZE, 0, page_size);
      SendMessageW(c, TBM_SETLINESIZE, 0, line_size);
    }
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
  // The large icon of SetIcon (shared, never destroyed): painted while the
  // window is minimised and offered as its drag image.
  HICON icon_ = nullptr;
  std::vector<std::unique_ptr<DialogHost>> children_;

  friend int win32::RunModal(Page&, HWND);
  friend class win32::ModelessDialog;
  friend class win32::PropertyPageRecord;
};

}  // namespace kit::ui::win32
