// Shows one of VRTQ40UI's sheets as a real property sheet for a screenshot:
// plugin_sheet_screenshot main|utility RECT_FILE TAKEN_FILE
// "main" is the document sheet (its first page is Main), "utility" the
// device sheet (Utility). Once the sheet is up, the program writes its
// screen rectangle ("x y width height") to RECT_FILE, waits until
// TAKEN_FILE exists and presses OK.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "tests/plugin/core/sheets/plugin_sheets_win32.h"
#include "tests/ui/screenshot_window.h"
#include "ui/win32/remote.h"

namespace {

constexpr int kWindowTimeoutMs = 10000;
constexpr int kUpBeforeShotMs = 1500;
constexpr kit::plugin::com::DWORD kDevModeDefault = 2;  // OEMDM_DEFAULT

}  // namespace

int wmain(int argc, wchar_t** argv) {
  using namespace kit::plugin;
  const std::wstring which = argc == 4 ? argv[1] : L"";
  if (which != L"main" && which != L"utility") {
    std::fprintf(stderr, "usage: plugin_sheet_screenshot main|utility RECT_FILE TAKEN_FILE\n");
    return 2;
  }
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  sheets::testing::LoadedPlugin plugin;
  if (!plugin.ok()) {
    std::fprintf(stderr, "VRTQ40UI.dll could not be loaded (%lu)\n", GetLastError());
    return 1;
  }
  std::vector<std::uint8_t> record(1976);
  com::OEMDMPARAM dm{};
  dm.cbSize = sizeof dm;
  dm.pOEMDMOut = record.data();
  dm.cbBufSize = static_cast<com::DWORD>(record.size());
  plugin.ui()->lpVtbl->DevMode(plugin.ui(), kDevModeDefault, &dm);
  char16_t printer[] = u"VRT-Q40 Receipt";
  com::OEMCUIPPARAM cuip{};
  cuip.cbSize = sizeof cuip;
  cuip.pPrinterName = printer;
  cuip.pOEMDM = record.data();
  com::OEMUIPSPARAM ps{};
  ps.cbSize = sizeof ps;
  ps.pOEMDM = record.data();
  const bool document = which == L"main";
  std::vector<PROPSHEETPAGEW> records = plugin.SheetPages(document, cuip, ps);
  if (records.empty()) {
    std::fprintf(stderr, "the plug-in added no pages\n");
    return 1;
  }
  const std::wstring caption = document ? L"VRT-Q40 Receipt Printing Preferences" : L"VRT-Q40 Receipt Properties";
  const DWORD ui_thread = GetCurrentThreadId();
  int status = 0;
  std::thread driver([&] {
    HWND sheet = kit::ui::win32::WaitForDialog(ui_thread, kWindowTimeoutMs, caption.c_str());
    if (sheet == nullptr) {
      std::fprintf(stderr, "the sheet did not appear\n");
      status = 1;
      return;
    }
    Sleep(kUpBeforeShotMs);
    if (!kit::ui::testing::ReportForScreenshot(sheet, argv[2], argv[3])) status = 1;
    kit::ui::win32::RemoteDialog(sheet).Click(IDOK);
  });
  sheets::testing::RunPluginSheet(caption, records);
  driver.join();
  plugin.DestroySheet(document, ps);
  return status;
}
