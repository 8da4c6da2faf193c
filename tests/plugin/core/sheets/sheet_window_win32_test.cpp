// VRTQ40UI.dll loaded the way the universal driver loads it, with both of
// its sheets shown as real property sheets: the pages it adds are created
// from its page records and show their texts.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "plugin/core/com/interfaces.h"
#include "plugin/core/sheets/sheet_protocol.h"
#include "tests/plugin/core/com/fake_driver.h"
#include "ui/win32/remote.h"

namespace kit::plugin::sheets::testing {
namespace {

constexpr int kWindowTimeoutMs = 10000;
constexpr int kDriverNameId = 1301;

std::vector<PROPSHEETPAGEW>* g_records = nullptr;

// The common property-sheet UI's callback: keeps a copy of every page record.
com::LONG_PTR KIT_STDCALL CollectPages(com::HANDLE, com::UINT function, com::LPARAM lParam1, com::LPARAM) {
  if (function != kCpsFuncAddPropSheetPageW || g_records == nullptr) return 0;
  g_records->push_back(*reinterpret_cast<const PROPSHEETPAGEW*>(lParam1));
  return static_cast<com::LONG_PTR>(g_records->size());
}

struct ShownSheet {
  INT_PTR result = -1;
  std::u16string driver_name;
  std::wstring tab;
};

// Runs a modal sheet of `records`; another thread reads the plug-in page and
// presses OK. `drive`, when set, acts on the sheet's first page first.
ShownSheet ShowSheet(const std::wstring& caption, std::vector<PROPSHEETPAGEW>& records,
                     const std::function<void(HWND sheet, HWND page)>& drive = nullptr) {
  ShownSheet shown;
  const DWORD ui_thread = GetCurrentThreadId();
  std::thread driver([&] {
    HWND sheet = ui::win32::WaitForDialog(ui_thread, kWindowTimeoutMs, caption.c_str());
    if (sheet == nullptr) return;
    HWND page = nullptr;
    for (int i = 0; i < 100 && page == nullptr; ++i) {
      page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
      if (page == nullptr) Sleep(20);
    }
    if (page != nullptr && drive) drive(sheet, page);
    // The Version page is the last one.
    SendMessageW(sheet, PSM_SETCURSEL, records.size() - 1, 0);
    page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    if (page != nullptr) shown.driver_name = ui::win32::RemoteDialog(page).Text(kDriverNameId);
    shown.tab.assign(64, L'\0');
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = shown.tab.data();
    item.cchTextMax = static_cast<int>(shown.tab.size());
    SendMessageW(FindWindowExW(sheet, nullptr, WC_TABCONTROLW, nullptr), TCM_GETITEMW, records.size() - 1,
                 reinterpret_cast<LPARAM>(&item));
    shown.tab.resize(wcslen(shown.tab.c_str()));
    ui::win32::RemoteDialog(sheet).Click(IDOK);
  });
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOCONTEXTHELP;
  header.pszCaption = caption.c_str();
  header.nPages = static_cast<UINT>(records.size());
  header.ppsp = records.data();
  shown.result = PropertySheetW(&header);
  driver.join();
  return shown;
}

// VRTQ40UI.dll loaded from beside the test, its plug-in object made through
// its class factory and given a fake driver interface.
class PluginSheetWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring module_path(path, length);
    module_path = module_path.substr(0, module_path.find_last_of(L"\\/") + 1) + L"VRTQ40UI.dll";
    module_ = LoadLibraryW(module_path.c_str());
    ASSERT_NE(module_, nullptr) << "LoadLibraryW failed with " << GetLastError();
    using GetClassObject = com::HRESULT(KIT_STDCALL*)(const com::GUID*, const com::GUID*, void**);
    auto get_class_object =
        reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
    ASSERT_NE(get_class_object, nullptr);

    void* out = nullptr;
    ASSERT_EQ(get_class_object(&com::kClsidOemUi, &com::kIidIClassFactory, &out), com::kSOk);
    auto* factory = static_cast<com::IClassFactory*>(out);
    ASSERT_EQ(factory->lpVtbl->CreateInstance(factory, nullptr, &com::kIidIPrintOemUi, &out), com::kSOk);
    factory->lpVtbl->Release(com::AsUnknown(factory));
    ui_ = static_cast<com::IPrintOemUI*>(out);
    ASSERT_EQ(ui_->lpVtbl->PublishDriverInterface(ui_, driver_.Unknown()), com::kSOk);
    cuip_.cbSize = sizeof cuip_;
    cuip_.pPrinterName = printer_;
    cuip_.pOEMDM = record_.data();
    ps_.cbSize = sizeof ps_;
    ps_.pOEMDM = record_.data();
  }
  void TearDown() override {
    if (ui_ != nullptr) {
      EXPECT_EQ(ui_->lpVtbl->Release(com::AsUnknown(ui_)), 0u);
      EXPECT_EQ(driver_.refs, 1u);
    }
    if (module_ != nullptr) FreeLibrary(module_);
  }

  // Sets up one sheet and collects the records of the pages it adds.
  std::vector<PROPSHEETPAGEW> SetUpSheet(bool document, com::PROPSHEETUI_INFO* info) {
    const auto& v = *ui_->lpVtbl;
    EXPECT_EQ(v.CommonUIProp(ui_, document ? 1 : 2, &cuip_), com::kSOk);
    std::vector<PROPSHEETPAGEW> records;
    g_records = &records;
    *info = {};
    info->cbSize = sizeof *info;
    info->Version = kPropSheetUiInfoVersion;
    info->Reason = kReasonInit;
    info->hComPropSheet = &sheet_object_;
    info->pfnComPropSheet = CollectPages;
    info->lParamInit = reinterpret_cast<com::LPARAM>(&ps_);
    EXPECT_EQ(document ? v.DocumentPropertySheets(ui_, info, 0) : v.DevicePropertySheets(ui_, info, 0), com::kSOk);
    g_records = nullptr;
    return records;
  }
  void DestroySheet(bool document, com::PROPSHEETUI_INFO* info) {
    const auto& v = *ui_->lpVtbl;
    info->Reason = kReasonDestroy;
    EXPECT_EQ(document ? v.DocumentPropertySheets(ui_, info, 0) : v.DevicePropertySheets(ui_, info, 0), com::kSOk);
    EXPECT_EQ(info->Result, 1u);
  }

  HMODULE module_ = nullptr;
  com::IPrintOemUI* ui_ = nullptr;
  com::testing::FakeDriver driver_;
  char16_t printer_[16] = u"VRT-Q40 Receipt";
  std::vector<std::uint8_t> record_ = std::vector<std::uint8_t>(1976);
  com::OEMCUIPPARAM cuip_{};
  com::OEMUIPSPARAM ps_{};
  int sheet_object_ = 0;
};

TEST_F(PluginSheetWindows, TheModuleShowsItsVersionPageOnBothSheets) {
  for (const bool document : {true, false}) {
    SCOPED_TRACE(document ? "document sheet" : "device sheet");
    com::PROPSHEETUI_INFO info{};
    std::vector<PROPSHEETPAGEW> records = SetUpSheet(document, &info);
    // Operation or Font, then Version.
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].dwSize, sizeof(void*) == 4 ? 52u : 96u);
    EXPECT_EQ(records[0].hInstance, module_);

    const ShownSheet shown = ShowSheet(document ? L"Printing Preferences" : L"Printer Properties", records);
    EXPECT_GE(shown.result, 0);
    EXPECT_EQ(shown.driver_name, u"Printer Driver");
    EXPECT_EQ(shown.tab, L"Version");
    DestroySheet(document, &info);
  }
}

TEST_F(PluginSheetWindows, TheOperationDialogIsDrivenByControlIdAndWritesTheRecord) {
  com::PROPSHEETUI_INFO info{};
  std::vector<PROPSHEETPAGEW> records = SetUpSheet(true, &info);
  ASSERT_EQ(records.size(), 2u);
  struct Seen {
    std::u16string caption, feed, after_g, message;
    bool never_enabled_seen = false, refused_stays_open = false, closed = false;
  } seen;
  const DWORD ui_thread = GetCurrentThreadId();
  const ShownSheet shown = ShowSheet(L"Printing Preferences", records, [&](HWND, HWND page) {
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
  EXPECT_GE(shown.result, 0);
  EXPECT_EQ(seen.caption, u"Start Document Operation");
  EXPECT_FALSE(seen.never_enabled_seen);
  EXPECT_EQ(seen.after_g, u"1D ") << "G is dropped, the space passes";
  EXPECT_EQ(seen.feed, u"100");
  EXPECT_EQ(seen.message, u"Command length error!");
  EXPECT_TRUE(seen.refused_stays_open);
  EXPECT_TRUE(seen.closed);
  EXPECT_EQ(record_[16], 1);    // SendCommand
  EXPECT_EQ(record_[18], 0x1D);
  EXPECT_EQ(record_[21], 0x00);
  EXPECT_EQ(record_[146], 4);   // CommandLength
  EXPECT_EQ(record_[149], 100); // FeedMm
  DestroySheet(true, &info);
}

}  // namespace
}  // namespace kit::plugin::sheets::testing
