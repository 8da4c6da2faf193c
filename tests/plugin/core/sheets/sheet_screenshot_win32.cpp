// Shows one of VRTQ40UI's sheets as a real property sheet for a screenshot:
// plugin_sheet_screenshot main|utility|watermark-text|watermark-image RECT_FILE TAKEN_FILE
// "main" is the document sheet (its first page is Main), "utility" the
// device sheet (Utility); the watermark ones show the document sheet's Water
// Mark page with a text watermark ("DRAFT" at 45 degrees) or an image
// watermark (a sample bitmap written to the temporary folder) in its preview. Once the sheet is up, the program writes its
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

// A 24-bit 160 x 100 sample: a blue-to-green gradient with a dark band.
std::wstring WriteSampleBitmap() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring path = std::wstring(temp) + L"kit_watermark_sample.bmp";
  constexpr int kWidth = 160, kHeight = 100, kStride = kWidth * 3;
  std::vector<std::uint8_t> file(54 + kStride * kHeight);
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<std::uint32_t>(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, kWidth);
  put32(22, kHeight);
  file[26] = 1;
  file[28] = 24;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      std::uint8_t* p = &file[54 + y * kStride + x * 3];
      const bool band = y > 40 && y < 60;
      p[0] = band ? 40 : static_cast<std::uint8_t>(255 - x);
      p[1] = band ? 40 : static_cast<std::uint8_t>(x + 60);
      p[2] = band ? 40 : static_cast<std::uint8_t>(y * 2);
    }
  }
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(h, file.data(), static_cast<DWORD>(file.size()), &written, nullptr);
  CloseHandle(h);
  return path;
}

// Puts the Water Mark fields into the record: mode 2 "DRAFT" or mode 1 with
// the sample bitmap; graphics printing on, as choosing either does.
void SetWatermark(std::vector<std::uint8_t>& record, bool text) {
  constexpr std::size_t kGraphics = 998, kPath = 1000, kMode = 1250, kText = 1252, kFontSize = 1384,
                        kBrightness = 1394;
  record[kGraphics] = 1;
  record[kMode] = text ? 2 : 1;
  const std::wstring value = text ? L"DRAFT" : WriteSampleBitmap();
  const std::size_t at = text ? kText : kPath;
  for (std::size_t i = 0; i < value.size(); ++i) {
    record[at + 2 * i] = static_cast<std::uint8_t>(value[i]);
    record[at + 2 * i + 1] = static_cast<std::uint8_t>(value[i] >> 8);
  }
  record[kFontSize] = 48;
  record[kBrightness] = text ? 0 : 30;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  using namespace kit::plugin;
  const std::wstring which = argc == 4 ? argv[1] : L"";
  const bool watermark = which == L"watermark-text" || which == L"watermark-image";
  if (which != L"main" && which != L"utility" && !watermark) {
    std::fprintf(stderr, "usage: plugin_sheet_screenshot main|utility|watermark-text|watermark-image RECT_FILE TAKEN_FILE\n");
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
  if (watermark) SetWatermark(record, which == L"watermark-text");
  char16_t printer[] = u"VRT-Q40 Receipt";
  com::OEMCUIPPARAM cuip{};
  cuip.cbSize = sizeof cuip;
  cuip.pPrinterName = printer;
  cuip.pOEMDM = record.data();
  com::OEMUIPSPARAM ps{};
  ps.cbSize = sizeof ps;
  ps.pOEMDM = record.data();
  ps.pPrinterName = printer;
  const bool document = which != L"utility";
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
    if (watermark) SendMessageW(sheet, PSM_SETCURSEL, 1, 0);  // Water Mark
    Sleep(kUpBeforeShotMs);
    if (!kit::ui::testing::ReportForScreenshot(sheet, argv[2], argv[3])) status = 1;
    kit::ui::win32::RemoteDialog(sheet).Click(IDOK);
  });
  sheets::testing::RunPluginSheet(caption, records);
  driver.join();
  plugin.DestroySheet(document, ps);
  return status;
}
