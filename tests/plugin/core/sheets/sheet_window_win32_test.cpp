// VRTQ40UI.dll loaded the way the universal driver loads it, with both of
// its sheets shown as real property sheets: the pages it adds are created
// from its page records and show their texts.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <cstdint>
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
  std::wstring tab;  // the title of the tab shown
};

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

// Runs a modal sheet of `records` opened on `start_page`; another thread
// hands the page's window to `inspect`, reads the tab's title and presses OK.
ShownSheet ShowSheet(const std::wstring& caption, std::vector<PROPSHEETPAGEW>& records, UINT start_page,
                     const std::function<void(HWND page)>& inspect) {
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
    if (page != nullptr) inspect(page);
    HWND tabs = FindWindowExW(sheet, nullptr, WC_TABCONTROLW, nullptr);
    shown.tab.assign(64, L'\0');
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = shown.tab.data();
    item.cchTextMax = static_cast<int>(shown.tab.size());
    SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0)),
                 reinterpret_cast<LPARAM>(&item));
    shown.tab.resize(wcslen(shown.tab.c_str()));
    ui::win32::RemoteDialog(sheet).Click(IDOK);
  });
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOCONTEXTHELP;
  header.pszCaption = caption.c_str();
  header.nPages = static_cast<UINT>(records.size());
  header.nStartPage = start_page;
  header.ppsp = records.data();
  shown.result = PropertySheetW(&header);
  driver.join();
  return shown;
}

// VRTQ40UI.dll loaded beside the test, one plug-in object made through its
// class factory, and the record the host hands to both sheets.
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
    }
    EXPECT_EQ(driver_.refs, 1u);
    if (module_ != nullptr) FreeLibrary(module_);
  }

  // The page records the plug-in adds to one sheet.
  std::vector<PROPSHEETPAGEW> AddPages(bool document, com::PROPSHEETUI_INFO& info) {
    const auto& v = *ui_->lpVtbl;
    std::vector<PROPSHEETPAGEW> records;
    EXPECT_EQ(v.CommonUIProp(ui_, document ? 1 : 2, &cuip_), com::kSOk);
    g_records = &records;
    info = {};
    info.cbSize = sizeof info;
    info.Version = kPropSheetUiInfoVersion;
    info.Reason = kReasonInit;
    info.hComPropSheet = &sheet_object_;
    info.pfnComPropSheet = CollectPages;
    info.lParamInit = reinterpret_cast<com::LPARAM>(&ps_);
    EXPECT_EQ(document ? v.DocumentPropertySheets(ui_, &info, 0) : v.DevicePropertySheets(ui_, &info, 0), com::kSOk);
    g_records = nullptr;
    return records;
  }
  void EndSheet(bool document, com::PROPSHEETUI_INFO& info) {
    const auto& v = *ui_->lpVtbl;
    info.Reason = kReasonDestroy;
    EXPECT_EQ(document ? v.DocumentPropertySheets(ui_, &info, 0) : v.DevicePropertySheets(ui_, &info, 0), com::kSOk);
    EXPECT_EQ(info.Result, 1u);
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
  // The test program has no manifest of its own: without the module's
  // context the system's common controls are used.
  EXPECT_EQ(CommonControlsAssemblyIn(nullptr), L"");
  HANDLE context = nullptr;
  for (const bool document : {true, false}) {
    SCOPED_TRACE(document ? "document sheet" : "device sheet");
    com::PROPSHEETUI_INFO info;
    std::vector<PROPSHEETPAGEW> records = AddPages(document, info);
    // The document sheet also has its settings pages; Version is the last of each.
    ASSERT_EQ(records.size(), document ? 3u : 1u);
    for (const PROPSHEETPAGEW& record : records) {
      EXPECT_EQ(record.dwSize, sizeof(void*) == 4 ? 52u : 96u);
      EXPECT_EQ(record.hInstance, module_);
      // The pages are created in the module's own activation context, made
      // once from its manifest: version 6 of the common controls.
      EXPECT_EQ(record.dwFlags & PSP_USEFUSIONCONTEXT, static_cast<DWORD>(PSP_USEFUSIONCONTEXT));
      ASSERT_NE(record.hActCtx, nullptr);
      ASSERT_NE(record.hActCtx, INVALID_HANDLE_VALUE);
      if (context == nullptr) {
        context = record.hActCtx;
        const std::wstring assembly = CommonControlsAssemblyIn(context);
        EXPECT_NE(assembly.find(L"Microsoft.Windows.Common-Controls"), std::wstring::npos) << assembly;
        EXPECT_NE(assembly.find(L"version=\"6."), std::wstring::npos) << assembly;
      }
      EXPECT_EQ(record.hActCtx, context) << "one context for every sheet";
    }
    std::u16string driver_name;
    const ShownSheet shown =
        ShowSheet(document ? L"Printing Preferences" : L"Printer Properties", records,
                  static_cast<UINT>(records.size() - 1),
                  [&](HWND page) { driver_name = ui::win32::RemoteDialog(page).Text(kDriverNameId); });
    EXPECT_GE(shown.result, 0);
    EXPECT_EQ(driver_name, u"Printer Driver");
    EXPECT_EQ(shown.tab, L"Version");
    EndSheet(document, info);
  }
}

// The 1D and 2D Code pages as real pages: a typed value is clamped, shown
// clamped and stored in the host's record; an empty QR data edit disables
// its Print button.
TEST_F(PluginSheetWindows, TheBarcodePagesStoreClampedValuesInTheRecord) {
  constexpr std::size_t kBarcode1D = 596, kBarcode2D = 884;
  com::PROPSHEETUI_INFO info;
  std::vector<PROPSHEETPAGEW> records = AddPages(true, info);
  ASSERT_EQ(records.size(), 3u);

  std::u16string font, width;
  ShownSheet shown = ShowSheet(L"Printing Preferences", records, 0, [&](HWND page) {
    ui::win32::RemoteDialog d(page);
    font = d.Text(1020);
    d.Type(1206, u"9");
    width = d.Text(1206);
  });
  EXPECT_EQ(shown.tab, L"1D Code");
  EXPECT_EQ(font, u"1D Code1");
  EXPECT_EQ(width, u"6");
  EXPECT_EQ(record_[kBarcode1D + 1], 6);    // ModuleWidth
  EXPECT_EQ(record_[kBarcode1D + 12], 48);  // ModuleWidthX8

  std::u16string points;
  bool print_enabled = true;
  shown = ShowSheet(L"Printing Preferences", records, 1, [&](HWND page) {
    ui::win32::RemoteDialog d(page);
    points = d.Text(1055);
    d.Type(1071, u"30");
    d.Type(1107, u"");
    print_enabled = d.Enabled(1106);
  });
  EXPECT_EQ(shown.tab, L"2D Code");
  EXPECT_EQ(points, u"9.5");
  EXPECT_FALSE(print_enabled);
  EXPECT_EQ(record_[kBarcode2D + 20], 24);  // QrModuleSize
  EndSheet(true, info);
}

}  // namespace
}  // namespace kit::plugin::sheets::testing
