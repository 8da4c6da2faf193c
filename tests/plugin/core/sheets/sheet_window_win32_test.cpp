// VRTQ40UI.dll loaded the way the universal driver loads it, with both of
// its sheets shown as real property sheets: the pages it adds are created
// from its page records in the module's own activation context, show their
// texts, and clamp what is typed into them.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/plugin/core/sheets/plugin_sheets_win32.h"
#include "ui/win32/remote.h"

namespace kit::plugin::sheets::testing {
namespace {

constexpr int kDriverNameId = 1301;
// Main page: the zoom check box and the scale box; Utility page: SelfTest.
constexpr int kScaleEditId = 1507;
constexpr int kSelfTestId = 1401;
constexpr int kAddLogoId = 1042;
constexpr std::size_t kZoomPercentOffset = 1395, kPrintAsGraphicsOffset = 998, kZoomEnabledOffset = 1462;

// The side-by-side assembly that `context` (null: the thread's current one)
// takes comctl32.dll from, as its encoded identity; empty when it takes none.
std::wstring CommonControlsAssemblyIn(HANDLE context) {
  ULONG_PTR cookie = 0;
  if (context != nullptr && !ActivateActCtx(context, &cookie)) return {};
  std::wstring identity;
  ACTCTX_SECTION_KEYED_DATA found{};
  found.cbSize = sizeof found;
  if (FindActCtxSectionStringW(FIND_ACTCTX_SECTION_KEY_RETURN_HACTCTX, nullptr,
                               ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, L"comctl32.dll", &found)) {
    DWORD index = found.ulAssemblyRosterIndex;
    SIZE_T needed = 0;
    QueryActCtxW(0, found.hActCtx, &index, AssemblyDetailedInformationInActivationContext, nullptr, 0, &needed);
    std::vector<std::uint8_t> buffer(needed);
    auto* info = reinterpret_cast<ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(buffer.data());
    if (needed >= sizeof *info &&
        QueryActCtxW(0, found.hActCtx, &index, AssemblyDetailedInformationInActivationContext, info, needed,
                     &needed) &&
        info->lpAssemblyEncodedAssemblyIdentity != nullptr) {
      identity = info->lpAssemblyEncodedAssemblyIdentity;
    }
    ReleaseActCtx(found.hActCtx);
  }
  if (context != nullptr) DeactivateActCtx(0, cookie);
  return identity;
}

// Every record of a sheet asks for the module's activation context, made once
// from its manifest (common controls version 6), the same for every sheet.
void ExpectModuleContext(const std::vector<PROPSHEETPAGEW>& records, HANDLE* context) {
  for (const PROPSHEETPAGEW& record : records) {
    EXPECT_EQ(record.dwFlags & PSP_USEFUSIONCONTEXT, static_cast<DWORD>(PSP_USEFUSIONCONTEXT));
    ASSERT_NE(record.hActCtx, nullptr);
    ASSERT_NE(record.hActCtx, INVALID_HANDLE_VALUE);
    if (*context == nullptr) {
      *context = record.hActCtx;
      const std::wstring assembly = CommonControlsAssemblyIn(*context);
      EXPECT_NE(assembly.find(L"Microsoft.Windows.Common-Controls"), std::wstring::npos) << assembly;
      EXPECT_NE(assembly.find(L"version=\"6."), std::wstring::npos) << assembly;
    }
    EXPECT_EQ(record.hActCtx, *context) << "one context for every sheet";
  }
}

class PluginSheetWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    ASSERT_TRUE(plugin_.ok()) << "VRTQ40UI.dll: " << GetLastError();
    cuip_.cbSize = sizeof cuip_;
    cuip_.pPrinterName = printer_;
    cuip_.pOEMDM = record_.data();
    ps_.cbSize = sizeof ps_;
    ps_.pOEMDM = record_.data();
  }

  LoadedPlugin plugin_;
  char16_t printer_[32] = u"VRT-Q40 Receipt";
  std::vector<std::uint8_t> record_ = std::vector<std::uint8_t>(1976);
  com::OEMCUIPPARAM cuip_{};
  com::OEMUIPSPARAM ps_{};
  HANDLE context_ = nullptr;
};

TEST_F(PluginSheetWindows, TheDocumentSheetShowsMainAndClampsTheScaleByItsId) {
  record_[kZoomEnabledOffset] = 1;
  record_[kPrintAsGraphicsOffset] = 1;
  record_[kZoomPercentOffset] = 50;
  // The test program has no manifest of its own: without the module's
  // context the system's common controls are used.
  EXPECT_EQ(CommonControlsAssemblyIn(nullptr), L"");
  std::vector<PROPSHEETPAGEW> records = plugin_.SheetPages(true, cuip_, ps_);
  ASSERT_EQ(records.size(), 6u);  // Main, Water Mark, Operation, 1D Code, 2D Code, Version
  EXPECT_EQ(records[0].dwSize, sizeof(void*) == 4 ? 52u : 96u);
  EXPECT_EQ(records[0].hInstance, plugin_.module());
  ExpectModuleContext(records, &context_);

  std::u16string shown, after_low, after_high;
  const auto tabs = ShowSheet(L"VRT-Q40 Receipt Printing Preferences", records, [&](HWND, HWND page) {
    ui::win32::RemoteDialog main(page);
    shown = main.Text(kScaleEditId);
    HWND edit = GetDlgItem(page, kScaleEditId);
    // Typing, then leaving the box (the edit's own notification).
    main.Type(kScaleEditId, u"5");
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(kScaleEditId, EN_KILLFOCUS), reinterpret_cast<LPARAM>(edit));
    after_low = main.Text(kScaleEditId);
    main.Type(kScaleEditId, u"150");
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(kScaleEditId, EN_KILLFOCUS), reinterpret_cast<LPARAM>(edit));
    after_high = main.Text(kScaleEditId);
  });
  EXPECT_EQ(tabs, (std::vector<std::wstring>{L"Main", L"Water Mark", L"Operation", L"1D Code", L"2D Code", L"Version"}));
  EXPECT_EQ(shown, u"50");
  EXPECT_EQ(after_low, u"10");
  EXPECT_EQ(after_high, u"100");
  EXPECT_EQ(record_[kZoomPercentOffset], 100);
  EXPECT_EQ(plugin_.DestroySheet(true, ps_), 1u);
}

// The 1D and 2D Code pages as real pages: a typed value is clamped, shown
// clamped and stored in the host's record; an empty QR data edit disables
// its Print button.
TEST_F(PluginSheetWindows, TheBarcodePagesStoreClampedValuesInTheRecord) {
  constexpr std::size_t kBarcode1D = 596, kBarcode2D = 884;
  std::vector<PROPSHEETPAGEW> records = plugin_.SheetPages(true, cuip_, ps_);
  ASSERT_EQ(records.size(), 6u);
  std::u16string font, width, points;
  bool print_enabled = true;
  ShowSheet(L"VRT-Q40 Receipt Printing Preferences", records, [&](HWND sheet, HWND) {
    SendMessageW(sheet, PSM_SETCURSEL, 3, 0);
    HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    if (page == nullptr) return;
    ui::win32::RemoteDialog code1d(page);
    font = code1d.Text(1020);
    code1d.Type(1206, u"9");
    width = code1d.Text(1206);
    SendMessageW(sheet, PSM_SETCURSEL, 4, 0);
    page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    if (page == nullptr) return;
    ui::win32::RemoteDialog code2d(page);
    points = code2d.Text(1055);
    code2d.Type(1071, u"30");
    code2d.Type(1107, u"");
    print_enabled = code2d.Enabled(1106);
  });
  EXPECT_EQ(font, u"1D Code1");
  EXPECT_EQ(width, u"6");
  EXPECT_EQ(record_[kBarcode1D + 1], 6);    // ModuleWidth
  EXPECT_EQ(record_[kBarcode1D + 12], 48);  // ModuleWidthX8
  EXPECT_EQ(points, u"9.5");
  EXPECT_FALSE(print_enabled);
  EXPECT_EQ(record_[kBarcode2D + 20], 24);  // QrModuleSize
  EXPECT_EQ(plugin_.DestroySheet(true, ps_), 1u);
}

// The operation dialog of the Start of Document event, driven by control id
// on its real window: the controls that are never enabled stay disabled, the
// command filter drops a non-hex letter, the feed is clamped, 129 command
// bytes are refused with the dialog left open, and OK writes the record.
TEST_F(PluginSheetWindows, TheOperationDialogIsDrivenByControlIdAndWritesTheRecord) {
  std::vector<PROPSHEETPAGEW> records = plugin_.SheetPages(true, cuip_, ps_);
  ASSERT_EQ(records.size(), 6u);
  struct Seen {
    std::u16string caption, feed, after_g, message;
    bool never_enabled_seen = false, refused_stays_open = false, closed = false;
  } seen;
  const DWORD ui_thread = GetCurrentThreadId();
  ShowSheet(L"VRT-Q40 Receipt Printing Preferences", records, [&](HWND sheet, HWND) {
    SendMessageW(sheet, PSM_SETCURSEL, 2, 0);
    HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    if (page == nullptr) return;
    ui::win32::RemoteDialog(page).Click(1101);  // Start of Document
    HWND dialog = ui::win32::WaitForDialog(ui_thread, kWindowTimeoutMs, L"Start Document Operation");
    if (dialog == nullptr) return;
    ui::win32::RemoteDialog d(dialog);
    seen.caption = d.Caption();
    for (int id : {1004, 1008, 1017, 1019, 1027, 1028}) seen.never_enabled_seen |= d.Enabled(id);
    d.Click(1001);
    Sleep(200);
    d.Type(1002, u"1D");
    SendMessageW(GetDlgItem(dialog, 1002), EM_SETSEL, 2, 2);  // the caret after "1D"
    SendMessageW(GetDlgItem(dialog, 1002), WM_CHAR, L'G', 0);
    SendMessageW(GetDlgItem(dialog, 1002), WM_CHAR, L' ', 0);
    seen.after_g = d.Text(1002);
    d.Type(1002, u"1D 56 42 00");
    d.Type(1014, u"250");
    seen.feed = d.Text(1014);
    // 129 bytes are refused and the dialog stays.
    std::u16string long_text;
    for (int i = 0; i < 129; ++i) long_text += u"AB ";
    d.Type(1002, long_text.substr(0, 399));
    d.Click(IDOK);
    if (HWND box = ui::win32::WaitForMessageBox(ui_thread, dialog, kWindowTimeoutMs)) {
      seen.message = ui::win32::RemoteDialog(box).MessageText();
      ui::win32::RemoteDialog(box).Click(IDOK);
      ui::win32::RemoteDialog(box).WaitClosed(kWindowTimeoutMs);
    }
    seen.refused_stays_open = d.Exists();
    d.Type(1002, u"1D 56 42 00");
    d.Click(IDOK);
    seen.closed = d.WaitClosed(kWindowTimeoutMs);
  });
  EXPECT_EQ(seen.caption, u"Start Document Operation");
  EXPECT_FALSE(seen.never_enabled_seen);
  EXPECT_EQ(seen.after_g, u"1D ") << "G is dropped, the space passes";
  EXPECT_EQ(seen.feed, u"100");
  EXPECT_EQ(seen.message, u"Command length error!");
  EXPECT_TRUE(seen.refused_stays_open);
  EXPECT_TRUE(seen.closed);
  EXPECT_EQ(record_[16], 1);     // SendCommand
  EXPECT_EQ(record_[18], 0x1D);
  EXPECT_EQ(record_[21], 0x00);
  EXPECT_EQ(record_[146], 4);    // CommandLength
  EXPECT_EQ(record_[149], 100);  // FeedMm
  EXPECT_EQ(plugin_.DestroySheet(true, ps_), 1u);
}

// The Water Mark page with real GDI: a text watermark is drawn into its
// preview, and OK writes the 300 x 300 picture with black text into the
// temporary folder under the printer's name.
TEST_F(PluginSheetWindows, TheWatermarkPageDrawsTheTextWithGdiAndWritesThePicture) {
  constexpr std::size_t kMode = 1250, kText = 1252, kAngle = 1388, kFontSize = 1384;
  record_[kPrintAsGraphicsOffset] = 1;
  record_[kMode] = 2;
  const char16_t draft[] = u"DRAFT";
  for (std::size_t i = 0; i < 5; ++i) record_[kText + 2 * i] = static_cast<std::uint8_t>(draft[i]);
  record_[kAngle] = 45;
  record_[kFontSize] = 40;
  record_[1393] = 100;  // size
  record_[1392] = 4;    // centre
  ps_.pPrinterName = printer_;
  // The page writes the picture where the spooler's rendering finds it: the
  // machine's common application data, in a folder of the user's own.
  wchar_t common[MAX_PATH], user[256];
  DWORD user_size = 256;
  ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, common), S_OK);
  ASSERT_TRUE(GetUserNameW(user, &user_size));
  const std::wstring picture =
      std::wstring(common) + L"\\PrinterDriverKit\\Watermark\\" + user + L"\\VRT-Q40 Receipt1.bmp";
  DeleteFileW(picture.c_str());
  std::vector<PROPSHEETPAGEW> records = plugin_.SheetPages(true, cuip_, ps_);
  ASSERT_EQ(records.size(), 6u);
  std::u16string text, angle;
  bool text_enabled = false;
  ShowSheet(L"VRT-Q40 Receipt Printing Preferences", records, [&](HWND sheet, HWND) {
    SendMessageW(sheet, PSM_SETCURSEL, 1, 0);
    HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    if (page == nullptr) return;
    ui::win32::RemoteDialog watermark(page);
    text = watermark.Text(1020);
    angle = watermark.Text(1081);
    text_enabled = watermark.Enabled(1020);
  });
  EXPECT_EQ(text, u"DRAFT");
  EXPECT_EQ(angle, u"45");
  EXPECT_TRUE(text_enabled);
  HANDLE file = CreateFileW(picture.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << "OK applies the page, which writes the picture";
  std::vector<std::uint8_t> bytes(300000);
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  ASSERT_EQ(read, 270054u);
  EXPECT_EQ(bytes[0], 'B');
  EXPECT_EQ(bytes[10], 54);
  EXPECT_EQ(bytes[28], 24);
  std::size_t black = 0, white = 0;
  for (std::size_t i = 54; i + 2 < read; i += 3) {
    black += bytes[i] == 0 && bytes[i + 1] == 0 && bytes[i + 2] == 0;
    white += bytes[i] == 255 && bytes[i + 1] == 255 && bytes[i + 2] == 255;
  }
  EXPECT_GT(black, 200u) << "the text is drawn";
  EXPECT_GT(white, 60000u) << "on a white canvas";
  DeleteFileW(picture.c_str());
  EXPECT_EQ(plugin_.DestroySheet(true, ps_), 1u);
}

TEST_F(PluginSheetWindows, TheDeviceSheetShowsUtilityDownloadAndVersion) {
  std::vector<PROPSHEETPAGEW> records = plugin_.SheetPages(false, cuip_, ps_);
  ASSERT_EQ(records.size(), 4u);  // Utility, Download, Font, Version
  ExpectModuleContext(records, &context_);
  std::u16string self_test, add_logo, driver_name;
  const auto tabs = ShowSheet(L"VRT-Q40 Receipt Properties", records, [&](HWND sheet, HWND page) {
    self_test = ui::win32::RemoteDialog(page).Text(kSelfTestId);
    // Wine's form calls are stubs: the form list is not checked here.
    SendMessageW(sheet, PSM_SETCURSEL, 1, 0);
    HWND download = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    if (download != nullptr) add_logo = ui::win32::RemoteDialog(download).Text(kAddLogoId);
    SendMessageW(sheet, PSM_SETCURSEL, 3, 0);
    HWND version = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    if (version != nullptr) driver_name = ui::win32::RemoteDialog(version).Text(kDriverNameId);
  });
  EXPECT_EQ(tabs, (std::vector<std::wstring>{L"Utility", L"Download", L"Font", L"Version"}));
  EXPECT_EQ(self_test, u"SelfTest");
  EXPECT_EQ(add_logo, u"Add");
  EXPECT_EQ(driver_name, u"Printer Driver");
  EXPECT_EQ(plugin_.DestroySheet(false, ps_), 1u);
  EXPECT_EQ(plugin_.Release(), 0u);
  EXPECT_EQ(plugin_.driver().refs, 1u);
}

}  // namespace
}  // namespace kit::plugin::sheets::testing
