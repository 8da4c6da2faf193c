// VRTQ40UI.dll loaded the way the universal driver loads it, with both of
// its sheets shown as real property sheets: the pages it adds are created
// from its page records and show their texts.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <cstdint>
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

// Runs a modal sheet of `records`; another thread reads the plug-in page and
// presses OK.
ShownSheet ShowSheet(const std::wstring& caption, std::vector<PROPSHEETPAGEW>& records) {
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
    if (page != nullptr) shown.driver_name = ui::win32::RemoteDialog(page).Text(kDriverNameId);
    shown.tab.assign(64, L'\0');
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = shown.tab.data();
    item.cchTextMax = static_cast<int>(shown.tab.size());
    SendMessageW(FindWindowExW(sheet, nullptr, WC_TABCONTROLW, nullptr), TCM_GETITEMW, 0,
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

TEST(PluginSheetWindows, TheModuleShowsItsVersionPageOnBothSheets) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring module_path(path, length);
  module_path = module_path.substr(0, module_path.find_last_of(L"\\/") + 1) + L"VRTQ40UI.dll";
  HMODULE module = LoadLibraryW(module_path.c_str());
  ASSERT_NE(module, nullptr) << "LoadLibraryW failed with " << GetLastError();
  using GetClassObject = com::HRESULT(KIT_STDCALL*)(const com::GUID*, const com::GUID*, void**);
  auto get_class_object =
      reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
  ASSERT_NE(get_class_object, nullptr);

  void* out = nullptr;
  ASSERT_EQ(get_class_object(&com::kClsidOemUi, &com::kIidIClassFactory, &out), com::kSOk);
  auto* factory = static_cast<com::IClassFactory*>(out);
  ASSERT_EQ(factory->lpVtbl->CreateInstance(factory, nullptr, &com::kIidIPrintOemUi, &out), com::kSOk);
  factory->lpVtbl->Release(com::AsUnknown(factory));
  auto* ui = static_cast<com::IPrintOemUI*>(out);
  const auto& v = *ui->lpVtbl;
  com::testing::FakeDriver driver;
  ASSERT_EQ(v.PublishDriverInterface(ui, driver.Unknown()), com::kSOk);

  char16_t printer[] = u"VRT-Q40 Receipt";
  std::vector<std::uint8_t> record(1976);
  com::OEMCUIPPARAM cuip{};
  cuip.cbSize = sizeof cuip;
  cuip.pPrinterName = printer;
  cuip.pOEMDM = record.data();
  com::OEMUIPSPARAM ps{};
  ps.cbSize = sizeof ps;
  ps.pOEMDM = record.data();

  // The test program has no manifest of its own: without the module's
  // context the system's common controls are used.
  EXPECT_EQ(CommonControlsAssemblyIn(nullptr), L"");
  HANDLE context = nullptr;
  for (const bool document : {true, false}) {
    SCOPED_TRACE(document ? "document sheet" : "device sheet");
    ASSERT_EQ(v.CommonUIProp(ui, document ? 1 : 2, &cuip), com::kSOk);
    std::vector<PROPSHEETPAGEW> records;
    g_records = &records;
    int sheet_object = 0;
    com::PROPSHEETUI_INFO info{};
    info.cbSize = sizeof info;
    info.Version = kPropSheetUiInfoVersion;
    info.Reason = kReasonInit;
    info.hComPropSheet = &sheet_object;
    info.pfnComPropSheet = CollectPages;
    info.lParamInit = reinterpret_cast<com::LPARAM>(&ps);
    ASSERT_EQ(document ? v.DocumentPropertySheets(ui, &info, 0) : v.DevicePropertySheets(ui, &info, 0), com::kSOk);
    g_records = nullptr;
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].dwSize, sizeof(void*) == 4 ? 52u : 96u);
    EXPECT_EQ(records[0].hInstance, module);
    // The pages are created in the module's own activation context, made once
    // from its manifest: version 6 of the common controls.
    EXPECT_EQ(records[0].dwFlags & PSP_USEFUSIONCONTEXT, static_cast<DWORD>(PSP_USEFUSIONCONTEXT));
    ASSERT_NE(records[0].hActCtx, nullptr);
    ASSERT_NE(records[0].hActCtx, INVALID_HANDLE_VALUE);
    const std::wstring assembly = CommonControlsAssemblyIn(records[0].hActCtx);
    EXPECT_NE(assembly.find(L"Microsoft.Windows.Common-Controls"), std::wstring::npos) << assembly;
    EXPECT_NE(assembly.find(L"version=\"6."), std::wstring::npos) << assembly;
    if (context == nullptr) context = records[0].hActCtx;
    EXPECT_EQ(records[0].hActCtx, context) << "one context for every sheet";

    const ShownSheet shown = ShowSheet(document ? L"Printing Preferences" : L"Printer Properties", records);
    EXPECT_GE(shown.result, 0);
    EXPECT_EQ(shown.driver_name, u"Printer Driver");
    EXPECT_EQ(shown.tab, L"Version");

    info.Reason = kReasonDestroy;
    EXPECT_EQ(document ? v.DocumentPropertySheets(ui, &info, 0) : v.DevicePropertySheets(ui, &info, 0), com::kSOk);
    EXPECT_EQ(info.Result, 1u);
  }
  EXPECT_EQ(v.Release(com::AsUnknown(ui)), 0u);
  EXPECT_EQ(driver.refs, 1u);
  FreeLibrary(module);
}

}  // namespace
}  // namespace kit::plugin::sheets::testing
