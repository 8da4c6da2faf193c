// The Win32 host's own services on real windows: child pages placed in a
// frame, property-sheet pages from templates, message boxes answered from a
// second thread, tooltips, input filters, bitmaps stretched into a frame and
// system-menu commands.
#include <windows.h>
#include <commctrl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

#include "ui/win32/host.h"
#include "ui/win32/remote.h"

namespace kit::ui::win32 {
namespace {

constexpr int kWindowTimeoutMs = 10000;
constexpr int kFrame = 1001;
constexpr int kEdit = 1002;
constexpr int kPicture = 1003;
constexpr int kAsk = 1004;
constexpr int kAboutCommand = 16;
constexpr int kIcon = 1005;
constexpr int kIconResource = 128;  // win32_host_test.rc

struct Child : Page {
  DialogTemplate t;
  Child() {
    t.id = 131;
    t.kind = DialogKind::kChild;
    t.cx = 100;
    t.cy = 60;
    t.font.face = u"MS Shell Dlg";
    t.font.point_size = 8;
    t.controls = {{1100, ControlKind::kCheckBox, u"Set as default", {5, 5, 90, 10}, kTabStop}};
  }
  const DialogTemplate& Template() const override { return t; }
};

struct Frame : Page {
  DialogTemplate t;
  Child child;
  Window* child_window = nullptr;
  int answer = 0;
  std::vector<int> menu_commands;
  Frame() {
    t.id = 102;
    t.caption = u"Frame";
    t.cx = 200;
    t.cy = 120;
    t.font.face = u"MS Shell Dlg";
    t.font.point_size = 8;
    t.controls = {
        {kFrame, ControlKind::kStatic, u"", {90, 10, 100, 60}, kHidden},
        {kEdit, ControlKind::kEdit, u"", {5, 10, 80, 12}, kBorder | kTabStop},
        {kPicture, ControlKind::kPicture, u"", {5, 30, 40, 40}},
        {kAsk, ControlKind::kPushButton, u"Ask", {5, 100, 50, 14}},
        {kIcon, ControlKind::kIcon, u"", {60, 30, 21, 20}, kNone, 0, 0, kIconResource},
        {kIdOk, ControlKind::kPushButton, u"OK", {140, 100, 50, 14}, kDefault},
    };
  }
  const DialogTemplate& Template() const override { return t; }
  void OnInit(Window& w) override {
    child_window = w.CreateChild(child, kFrame);
    if (child_window != nullptr) w.ShowChild(*child_window, true);
    w.SetTooltip(kEdit, u"Only digits and dots");
    w.SetInputFilter(kEdit, [](char16_t c) { return (c >= u'0' && c <= u'9') || c == u'.'; });
    Bitmap b;
    b.width = 2;
    b.height = 1;
    b.pixels = {0xFF0000, 0x0000FF};  // red, blue
    w.DrawBitmap(kPicture, b);
    w.AddSystemMenuItem(kAboutCommand, u"About...");
    w.SetIcon(kIconResource);
  }
  bool OnCommand(Window& w, int id, Notify code) override {
    if (id == kAsk && code == Notify::kClicked) {
      answer = w.MessageBox(u"Remove the printer?", u"Uninstall", kMbYesNo | kMbIconQuestion);
      return true;
    }
    if (code == Notify::kMenu) {
      menu_commands.push_back(id);
      return true;
    }
    return false;
  }
};

BOOL CALLBACK FindTooltip(HWND w, LPARAM out) {
  wchar_t cls[32] = {};
  GetClassNameW(w, cls, 32);
  if (std::wstring(cls) == TOOLTIPS_CLASSW) *reinterpret_cast<HWND*>(out) = w;
  return TRUE;
}

template <typename Body>
int RunFrame(Frame& frame, Body body) {
  InitCommonControls();
  const DWORD ui_thread = GetCurrentThreadId();
  std::thread driver([&] {
    HWND h = WaitForDialog(ui_thread, kWindowTimeoutMs, L"Frame");
    if (h != nullptr) body(h);
    if (h != nullptr && IsWindow(h)) PostMessageW(h, WM_COMMAND, IDCANCEL, 0);
  });
  const int result = RunModal(frame);
  driver.join();
  return result;
}

// Width and height of an icon's colour picture; 0 when there is none.
SIZE IconSize(HICON icon) {
  ICONINFO info{};
  if (icon == nullptr || !GetIconInfo(icon, &info)) return {0, 0};
  BITMAP b{};
  GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof b, &b);
  if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return {b.bmWidth, b.bmHeight};
}

TEST(Win32Host, IconsComeFromTheModuleAtTheSystemsSizes) {
  Frame frame;
  SIZE big{}, small{}, control{};
  bool drag_is_big = false;
  RunFrame(frame, [&](HWND h) {
    const auto big_icon = reinterpret_cast<HICON>(SendMessageW(h, WM_GETICON, ICON_BIG, 0));
    big = IconSize(big_icon);
    small = IconSize(reinterpret_cast<HICON>(SendMessageW(h, WM_GETICON, ICON_SMALL, 0)));
    // The drag image of a minimised window is the large icon.
    drag_is_big = big_icon != nullptr && reinterpret_cast<HICON>(SendMessageW(h, WM_QUERYDRAGICON, 0, 0)) == big_icon;
    control = IconSize(reinterpret_cast<HICON>(SendMessageW(GetDlgItem(h, kIcon), STM_GETICON, 0, 0)));
  });
  EXPECT_EQ(big.cx, GetSystemMetrics(SM_CXICON));
  EXPECT_EQ(big.cy, GetSystemMetrics(SM_CYICON));
  EXPECT_EQ(small.cx, GetSystemMetrics(SM_CXSMICON));
  EXPECT_EQ(small.cy, GetSystemMetrics(SM_CYSMICON));
  EXPECT_TRUE(drag_is_big);
  EXPECT_EQ(control.cx, 32);  // the icon control's picture, from the same resource
}

TEST(Win32Host, ChildPageIsPlacedInTheFrameRectangle) {
  Frame frame;
  RECT frame_rect{}, child_rect{};
  bool child_visible = false;
  RunFrame(frame, [&](HWND h) {
    GetWindowRect(GetDlgItem(h, kFrame), &frame_rect);
    HWND child = nullptr;
    // The child page is the dialog-class child of the frame.
    for (HWND c = GetWindow(h, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
      wchar_t cls[16] = {};
      GetClassNameW(c, cls, 16);
      if (std::wstring(cls) == L"#32770") child = c;
    }
    GetWindowRect(child, &child_rect);
    child_visible = IsWindowVisible(child) && GetDlgItem(child, 1100) != nullptr;
  });
  ASSERT_NE(frame.child_window, nullptr);
  EXPECT_TRUE(child_visible);
  EXPECT_EQ(child_rect.left, frame_rect.left);
  EXPECT_EQ(child_rect.top, frame_rect.top);
  EXPECT_EQ(child_rect.right, frame_rect.right);
  EXPECT_EQ(child_rect.bottom, frame_rect.bottom);
}

TEST(Win32Host, MessageBoxIsAnsweredFromAnotherThread) {
  Frame frame;
  std::u16string text, caption;
  RunFrame(frame, [&](HWND h) {
    RemoteDialog(h).Click(kAsk);
    HWND box = WaitForMessageBox(GetWindowThreadProcessId(h, nullptr), h, kWindowTimeoutMs);
    if (box == nullptr) return;
    RemoteDialog remote(box);
    text = remote.MessageText();
    caption = remote.Caption();
    remote.Click(IDNO);
    remote.WaitClosed(kWindowTimeoutMs);
  });
  EXPECT_EQ(text, u"Remove the printer?");
  EXPECT_EQ(caption, u"Uninstall");
  EXPECT_EQ(frame.answer, IDNO);
}

TEST(Win32Host, InputFilterDropsRefusedCharactersAsTheyAreTyped) {
  Frame frame;
  std::u16string typed;
  RunFrame(frame, [&](HWND h) {
    HWND edit = GetDlgItem(h, kEdit);
    for (wchar_t c : std::wstring(L"19a2.1x68")) SendMessageW(edit, WM_CHAR, c, 0);
    typed = RemoteDialog(h).Text(kEdit);
  });
  EXPECT_EQ(typed, u"192.168");
}

TEST(Win32Host, TooltipIsAttachedToTheControl) {
  Frame frame;
  LRESULT tools = 0;
  std::wstring tip(64, L'\0');
  RunFrame(frame, [&](HWND h) {
    HWND tooltip = nullptr;
    EnumThreadWindows(GetWindowThreadProcessId(h, nullptr), FindTooltip, reinterpret_cast<LPARAM>(&tooltip));
    if (tooltip == nullptr) return;
    tools = SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0);
    TOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = h;
    info.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(h, kEdit));
    info.lpszText = tip.data();
    SendMessageW(tooltip, TTM_GETTEXTW, tip.size(), reinterpret_cast<LPARAM>(&info));
  });
  EXPECT_EQ(tools, 1);
  EXPECT_EQ(std::wstring(tip.c_str()), L"Only digits and dots");
}

TEST(Win32Host, BitmapIsStretchedOverThePictureControl) {
  Frame frame;
  COLORREF left = 0, right = 0;
  RunFrame(frame, [&](HWND h) {
    HWND picture = GetDlgItem(h, kPicture);
    RedrawWindow(picture, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Sleep(200);
    RECT r;
    GetClientRect(picture, &r);
    HDC dc = GetDC(picture);
    left = GetPixel(dc, r.right / 4, r.bottom / 2);
    right = GetPixel(dc, 3 * r.right / 4, r.bottom / 2);
    ReleaseDC(picture, dc);
  });
  EXPECT_EQ(left, RGB(255, 0, 0));
  EXPECT_EQ(right, RGB(0, 0, 255));
}

TEST(Win32Host, SystemMenuEntryReachesThePage) {
  Frame frame;
  RunFrame(frame, [&](HWND h) {
    PostMessageW(h, WM_SYSCOMMAND, kAboutCommand, 0);
    Sleep(200);
  });
  EXPECT_THAT(frame.menu_commands, ::testing::ElementsAre(kAboutCommand));
}

// ---- property sheets

struct SheetPage : Page {
  DialogTemplate t;
  std::vector<SheetEvent> events;
  bool option = false;
  explicit SheetPage(int id) {
    t.id = id;
    t.kind = DialogKind::kChild;
    t.cx = 180;
    t.cy = 100;
    t.font.face = u"MS Shell Dlg";
    t.font.point_size = 8;
    t.controls = {{1000, ControlKind::kCheckBox, u"Option", {5, 5, 90, 10}, kTabStop}};
  }
  const DialogTemplate& Template() const override { return t; }
  bool OnCommand(Window& w, int id, Notify) override {
    if (id == 1000) w.SheetChanged();
    return id == 1000;
  }
  int tabs_seen = -1;
  SheetReply OnSheet(Window& w, SheetEvent e) override {
    events.push_back(e);
    if (e == SheetEvent::kSetActive) {
      tabs_seen = w.SheetTabCount();
      w.SetSheetTabTitle(1, u"Version (new)");
    }
    if (e == SheetEvent::kApply) option = w.IsChecked(1000);
    return SheetReply::kAccept;
  }
};

TEST(Win32Sheet, PagesFromTemplatesGetTheSheetNotifications) {
  InitCommonControls();
  SheetPage main_page(128), version_page(105);
  PropertyPageRecord first(main_page, {u"Main"});
  PropertyPageRecord second(version_page, {u"Version"});
  EXPECT_EQ(first.Record().dwFlags & (PSP_DLGINDIRECT | PSP_USETITLE), DWORD{PSP_DLGINDIRECT | PSP_USETITLE});
  const DWORD ui_thread = GetCurrentThreadId();
  bool apply_enabled = false;
  std::wstring second_tab(64, L'\0');
  std::thread driver([&] {
    HWND sheet = WaitForDialog(ui_thread, kWindowTimeoutMs, L"Printer properties");
    if (sheet == nullptr) return;
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = second_tab.data();
    item.cchTextMax = static_cast<int>(second_tab.size());
    SendMessageW(FindWindowExW(sheet, nullptr, WC_TABCONTROLW, nullptr), TCM_GETITEMW, 1, reinterpret_cast<LPARAM>(&item));
    for (int i = 0; i < 100 && first.hwnd() == nullptr; ++i) Sleep(20);
    RemoteDialog(first.hwnd()).Click(1000);
    // The click is posted: give the page's thread time to handle it.
    for (int i = 0; i < 100 && !apply_enabled; ++i) {
      Sleep(20);
      apply_enabled = IsWindowEnabled(GetDlgItem(sheet, 0x3021)) != FALSE;  // the sheet's Apply button
    }
    RemoteDialog(sheet).Click(IDOK);
  });
  const INT_PTR result = RunPropertySheet(u"Printer properties", {&first, &second});
  driver.join();
  EXPECT_TRUE(apply_enabled) << "a change makes Apply available";
  EXPECT_EQ(main_page.tabs_seen, 2);
  EXPECT_EQ(std::wstring(second_tab.c_str()), L"Version (new)") << "a page relabels a tab of its sheet";
  EXPECT_TRUE(main_page.option) << "Apply saw the ticked box";
  EXPECT_THAT(main_page.events, ::testing::Contains(SheetEvent::kSetActive));
  EXPECT_THAT(main_page.events, ::testing::Contains(SheetEvent::kApply));
  EXPECT_TRUE(version_page.events.empty()) << "a page never shown is not created";
  EXPECT_GT(result, 0);
}

}  // namespace
}  // namespace kit::ui::win32
