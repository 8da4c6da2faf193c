// Shows one of the Operation and Font units' windows as a real window for a
// screenshot:
//   plugin_pages_screenshot operation|operation-page|font-page|table|translator RECT_FILE TAKEN_FILE
// Once the window is up it writes its screen rectangle ("x y width height")
// to RECT_FILE, waits until TAKEN_FILE exists and closes the window.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "platform/win32/windows_platform.h"
#include "plugin/core/devmode/private_devmode.h"
#include "plugin/core/font/control_font_dialogs.h"
#include "plugin/core/font/font_page.h"
#include "plugin/core/operation/operation_page.h"
#include "ui/win32/host.h"
#include "tests/ui/screenshot_window.h"
#include "ui/win32/remote.h"

namespace {

constexpr int kWindowTimeoutMs = 10000;
constexpr int kUpBeforeShotMs = 1500;

}  // namespace

int wmain(int argc, wchar_t** argv) {
  using namespace kit;
  const std::wstring which = argc == 4 ? argv[1] : L"";
  if (which != L"operation" && which != L"operation-page" && which != L"font-page" && which != L"table" &&
      which != L"translator") {
    std::fprintf(stderr, "usage: plugin_pages_screenshot operation|operation-page|font-page|table|translator RECT TAKEN\n");
    return 2;
  }
  ui::win32::InitCommonControls();
  PrivateDevModeBytes record{};
  Encode(DefaultPrivateDevMode(u"C:\\Windows\\system32"), record);
  PrivateDevMode values = Decode(record);
  values.EndDocOp.SendCommand = 1;
  values.EndDocOp.CommandLength = 4;
  values.EndDocOp.Command[0] = 0x1D, values.EndDocOp.Command[1] = 0x56, values.EndDocOp.Command[2] = 0x42;
  values.EndDocOp.LogoSelect = 2;
  Encode(values, record);
  plugin::com::OEMUIPSPARAM param{};
  param.pOEMDM = record.data();
  plugin::com::DocumentSheetContext document;
  document.lParamInit = reinterpret_cast<plugin::com::LPARAM>(&param);
  plugin::com::DeviceSheetContext device;
  win32::WindowsPlatform windows;

  plugin::operation::WorkingSet working{plugin::operation::kEndOfDocument, values.EndDocOp};
  plugin::operation::OperationDialog operation(nullptr, working);
  plugin::operation::OperationPage operation_page(plugin::sheets::PageContext::Document(document, nullptr));
  plugin::font::FontPage font_page(plugin::sheets::PageContext::Device(device, nullptr));
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::u16string table_path = ui::win32::FromWide(temp) + u"VRTQ40CONTROL.dat";
  const std::string sample = "[Character Translation Table]\r\n41=1B 70 00\r\n42=1D 56 42 00\r\n";
  windows.platform().files.WriteFile(table_path, Bytes(sample.begin(), sample.end()), WriteMode::kCreateAlways);
  plugin::font::ControlFontTable table(windows.platform().files, windows.platform().system, table_path);
  plugin::font::ControlFontTranslator translator(u"A", u"41", u"1B 70 00 ");

  const bool sheet = which == L"operation-page" || which == L"font-page";
  const DWORD ui_thread = GetCurrentThreadId();
  int status = 0;
  std::thread driver([&] {
    HWND h = ui::win32::WaitForDialog(ui_thread, kWindowTimeoutMs);
    if (h == nullptr) {
      std::fprintf(stderr, "the window did not appear\n");
      status = 1;
      return;
    }
    Sleep(kUpBeforeShotMs);
    if (!kit::ui::testing::ReportForScreenshot(h, argv[2], argv[3])) status = 1;
    ui::win32::RemoteDialog(h).Click(IDCANCEL);
  });
  if (sheet) {
    ui::Page& page = which == L"operation-page" ? static_cast<ui::Page&>(operation_page) : font_page;
    ui::win32::PropertyPageRecord record_page(page, {which == L"operation-page" ? u"Operation" : u"Font"});
    ui::win32::RunPropertySheet(u"VRT-Q40 Receipt", {&record_page});
  } else {
    ui::Page& page = which == L"operation" ? static_cast<ui::Page&>(operation)
                     : which == L"table"   ? static_cast<ui::Page&>(table)
                                           : translator;
    ui::win32::RunModal(page);
  }
  driver.join();
  windows.platform().files.DeleteFile(table_path);
  return status;
}
