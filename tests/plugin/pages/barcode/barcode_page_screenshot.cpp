// Shows the 1D or the 2D Code page in a real property sheet for a
// screenshot: plugin_barcode_page_screenshot 1d|2d RECT_FILE TAKEN_FILE
// Once the sheet is up it writes the sheet's screen rectangle ("x y width
// height") to RECT_FILE, waits until TAKEN_FILE exists and presses OK.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "plugin/core/com/host_types.h"
#include "plugin/core/devmode/private_devmode.h"
#include "plugin/pages/barcode/barcode_1d_page.h"
#include "plugin/pages/barcode/barcode_2d_page.h"
#include "ui/win32/host.h"
#include "tests/ui/screenshot_window.h"
#include "ui/win32/remote.h"

namespace {

constexpr int kWindowTimeoutMs = 10000;
constexpr int kUpBeforeShotMs = 1500;
constexpr wchar_t kCaption[] = L"VRT-Q40 Receipt Printing Preferences";

}  // namespace

int wmain(int argc, wchar_t** argv) {
  using namespace kit::plugin;
  const std::wstring which = argc == 4 ? argv[1] : L"";
  if (which != L"1d" && which != L"2d") {
    std::fprintf(stderr, "usage: plugin_barcode_page_screenshot 1d|2d RECT_FILE TAKEN_FILE\n");
    return 2;
  }
  kit::ui::win32::InitCommonControls();
  kit::PrivateDevModeBytes record{};
  kit::WriteDefaults(record, u"C:\\Windows\\system32");
  com::OEMUIPSPARAM param{};
  param.pOEMDM = record.data();
  com::DocumentSheetContext document;
  document.lParamInit = reinterpret_cast<com::LPARAM>(&param);
  const auto context = sheets::PageContext::Document(document, nullptr);
  std::unique_ptr<sheets::SheetPage> page;
  if (which == L"1d")
    page = std::make_unique<barcode::Barcode1DPage>(context, barcode::TestPrint{});
  else
    page = std::make_unique<barcode::Barcode2DPage>(context, barcode::TestPrint{});
  kit::ui::win32::PropertyPageRecord sheet_page(*page, {which == L"1d" ? u"1D Code" : u"2D Code"});

  const DWORD ui_thread = GetCurrentThreadId();
  int status = 0;
  std::thread driver([&] {
    HWND sheet = kit::ui::win32::WaitForDialog(ui_thread, kWindowTimeoutMs, kCaption);
    if (sheet == nullptr) {
      std::fprintf(stderr, "the sheet did not appear\n");
      status = 1;
      return;
    }
    Sleep(kUpBeforeShotMs);
    if (!kit::ui::testing::ReportForScreenshot(sheet, argv[2], argv[3])) status = 1;
    kit::ui::win32::RemoteDialog(sheet).Click(IDOK);
  });
  const INT_PTR result = kit::ui::win32::RunPropertySheet(
      std::u16string(kCaption, kCaption + wcslen(kCaption)), {&sheet_page});
  driver.join();
  return status != 0 ? status : (result >= 0 ? 0 : 1);
}
