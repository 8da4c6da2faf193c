// The Win32 host's answer to the system's dialogs: a window with a watched
// caption gets the first accepted child button clicked, once its message
// passed on; other windows, and any window after the watch ended, do not.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "ui/win32/foreign_dialogs.h"

namespace kit::ui::win32 {
namespace {

std::vector<int> g_clicked;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED) g_clicked.push_back(LOWORD(wparam));
  return DefWindowProcA(window, message, wparam, lparam);
}

bool YesButton(std::string_view text) { return text.size() > 1 && text[1] == 'Y'; }

HWND MakeDialog(const char* caption) {
  HWND parent = CreateWindowExA(0, "KitForeignDialogTest", caption, WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  CreateWindowExA(0, "BUTTON", "Cancel", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 80, 24, parent,
                  reinterpret_cast<HMENU>(2), nullptr, nullptr);
  CreateWindowExA(0, "BUTTON", "&Yes", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 100, 10, 80, 24, parent,
                  reinterpret_cast<HMENU>(6), nullptr, nullptr);
  CreateWindowExA(0, "BUTTON", "&Yes again", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 190, 10, 80, 24, parent,
                  reinterpret_cast<HMENU>(7), nullptr, nullptr);
  ShowWindow(parent, SW_SHOWNOACTIVATE);
  return parent;
}

TEST(ForeignDialogs, WatchedCaptionGetsItsFirstAcceptedButtonClicked) {
  WNDCLASSA cls{};
  cls.lpfnWndProc = ParentProc;
  cls.hInstance = GetModuleHandleA(nullptr);
  cls.lpszClassName = "KitForeignDialogTest";
  RegisterClassA(&cls);
  HWND warning = MakeDialog("Driver Warning");
  HWND other = MakeDialog("Something Else");
  ASSERT_NE(warning, nullptr);
  {
    const auto watch = WatchForeignDialogs({"", "Driver Warning"}, YesButton, 251);
    g_clicked.clear();
    SendMessageA(other, WM_NULL, 0, reinterpret_cast<LPARAM>(other));
    EXPECT_TRUE(g_clicked.empty());
    SendMessageA(warning, WM_NULL, 0, reinterpret_cast<LPARAM>(warning));
    // Only the first accepted button, never "Cancel" or the later one; the
    // messages the click itself sends the dialog may repeat it while the
    // dialog stays open.
    ASSERT_FALSE(g_clicked.empty());
    for (int id : g_clicked) EXPECT_EQ(id, 6);
  }
  g_clicked.clear();
  SendMessageA(warning, WM_NULL, 0, reinterpret_cast<LPARAM>(warning));
  EXPECT_TRUE(g_clicked.empty());
  DestroyWindow(warning);
  DestroyWindow(other);
}

TEST(ForeignDialogs, LibraryDialogTemplatesAreReadOrRefused) {
  std::vector<std::vector<std::uint8_t>> templates;
  EXPECT_FALSE(ReadLibraryDialogTemplates(u"no-such-library-here.dll", {1}, &templates));
  // An id the library lacks reads as empty bytes.
  ASSERT_TRUE(ReadLibraryDialogTemplates(u"setupapi.dll", {5314, 5316, 65000}, &templates));
  ASSERT_EQ(templates.size(), 3u);
  EXPECT_TRUE(templates[2].empty());
}

}  // namespace
}  // namespace kit::ui::win32
