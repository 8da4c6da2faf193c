// Shows the Download page in a real property sheet with a logo listed and
// previewed, for a screenshot:
//   plugin_download_page_screenshot original|transformation RECT_FILE TAKEN_FILE
// The logo (a 24-bit bitmap made here, in the temporary folder) is added
// through the system's open-file dialog, selected, and shown as it is or
// converted to one bit. Once the preview is up the program writes the
// sheet's screen rectangle ("x y width height") to RECT_FILE, waits until
// TAKEN_FILE exists and presses OK.
#include <windows.h>
#include <commctrl.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/win32/windows_platform.h"
#include "plugin/pages/download/download_page.h"
#include "tests/print/logo/test_images.h"
#include "tests/ui/screenshot_window.h"
#include "ui/win32/host.h"
#include "ui/win32/remote.h"

namespace {

constexpr int kWindowTimeoutMs = 10000;
constexpr int kSettleMs = 1500;
constexpr wchar_t kCaption[] = L"VRT-Q40 Receipt Properties";
constexpr wchar_t kOpenCaption[] = L"Open";
// The file-name box of the open-file dialog: old style (edt1), explorer
// style (cmb13).
constexpr int kOldStyleFileNameId = 1152;
constexpr int kExplorerFileNameId = 1148;

// A shaded disc with a bar: something a halftone visibly changes.
std::vector<std::uint8_t> SampleLogo() {
  constexpr int kWidth = 240, kHeight = 120;
  return kit::logo::testing::Make24(kWidth, kHeight, [](int x, int y) {
    const double dx = x - 80.0, dy = y - 60.0;
    const double r = std::sqrt(dx * dx + dy * dy);
    if (r >= 50 && !(x > 150 && x < 220 && y > 30 && y < 90)) return kit::logo::testing::Bgr{255, 255, 255};
    const auto level = static_cast<std::uint8_t>(r < 50 ? 40 + r * 4 : (x - 150) * 3);
    return kit::logo::testing::Bgr{level, static_cast<std::uint8_t>(level * 3 / 4), static_cast<std::uint8_t>(255 - level / 2)};
  });
}

bool WriteFileBytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  using namespace kit::plugin;
  const std::wstring mode = argc == 4 ? argv[1] : L"";
  if (mode != L"original" && mode != L"transformation") {
    std::fprintf(stderr, "usage: plugin_download_page_screenshot original|transformation RECT_FILE TAKEN_FILE\n");
    return 2;
  }
  kit::ui::win32::InitCommonControls();
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  // A folder of this run alone: both screenshots run side by side.
  const std::wstring folder = std::wstring(temp) + L"download-shot-" + mode;
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring logo_path = folder + L"\\shop.bmp";
  if (!WriteFileBytes(logo_path, SampleLogo())) {
    std::fprintf(stderr, "cannot write the sample logo\n");
    return 1;
  }

  kit::win32::WindowsPlatform windows;
  sheets::PagePlatform platform;
  platform.files = &windows.platform().files;
  platform.system = &windows.platform().system;
  com::DeviceSheetContext device;
  download::LogoState logos;
  download::DownloadPage page(sheets::PageContext::Device(device, nullptr, platform), logos);
  kit::ui::win32::PropertyPageRecord sheet_page(page, {u"Download"});

  const DWORD ui_thread = GetCurrentThreadId();
  int status = 0;
  std::thread driver([&] {
    auto fail = [&](const char* what) {
      std::fprintf(stderr, "%s\n", what);
      status = 1;
    };
    HWND sheet = kit::ui::win32::WaitForDialog(ui_thread, kWindowTimeoutMs, kCaption);
    if (sheet == nullptr) return fail("the sheet did not appear");
    HWND page_window = sheet_page.hwnd();
    kit::ui::win32::RemoteDialog download(page_window);
    download.Click(download::kAddButtonId);
    HWND open = kit::ui::win32::WaitForDialog(ui_thread, kWindowTimeoutMs, kOpenCaption);
    if (open == nullptr) return fail("the open-file dialog did not appear");
    kit::ui::win32::RemoteDialog chooser(open);
    const std::u16string path(logo_path.begin(), logo_path.end());
    if (!chooser.Type(kOldStyleFileNameId, path) && !chooser.Type(kExplorerFileNameId, path))
      return fail("the open-file dialog has no file-name box");
    chooser.Click(IDOK);
    if (!chooser.WaitClosed(kWindowTimeoutMs)) return fail("the open-file dialog stayed open");
    Sleep(kSettleMs / 3);
    // Select the logo as a click on it does.
    HWND list = GetDlgItem(page_window, download::kLogoListId);
    LVITEMW state{};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
    if (mode == L"transformation") {
      download.Click(download::kTransformRadioId);
      Sleep(kSettleMs / 3);
      download.Click(download::kDitherM4RadioId);
    }
    Sleep(kSettleMs);
    if (!kit::ui::testing::ReportForScreenshot(sheet, argv[2], argv[3])) status = 1;
    kit::ui::win32::RemoteDialog(sheet).Click(IDCANCEL);
  });
  const INT_PTR result = kit::ui::win32::RunPropertySheet(
      std::u16string(kCaption, kCaption + wcslen(kCaption)), {&sheet_page});
  driver.join();
  DeleteFileW(logo_path.c_str());
  return status != 0 ? status : (result >= 0 ? 0 : 1);
}
