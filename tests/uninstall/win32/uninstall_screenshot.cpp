// Shows the uninstaller's main window for a screenshot:
//   uninstall_screenshot KIT_FOLDER RECT_FILE TAKEN_FILE
// The window opens with the kit folder as the current directory; once it has
// been up for a while it writes its screen rectangle ("x y width height") to
// RECT_FILE, waits until TAKEN_FILE exists and ends with Exit.
#include <windows.h>

#include <cstdio>
#include <thread>

#include "platform/win32/windows_platform.h"
#include "ui/text.h"
#include "ui/win32/host.h"
#include "tests/ui/screenshot_window.h"
#include "ui/win32/remote.h"
#include "uninstall/dialog/uninstall_dlg.h"

namespace {

constexpr int kWindowTimeoutMs = 20000;
constexpr int kUpBeforeShotMs = 2000;

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: uninstall_screenshot KIT_FOLDER RECT_FILE TAKEN_FILE\n");
    return 2;
  }
  if (!SetCurrentDirectoryW(argv[1])) return 2;
  kit::ui::win32::InitCommonControls();
  kit::win32::WindowsPlatform windows;
  kit::ui::SetAnsiCodePage(windows.platform().system.GetACP());
  kit::uninstall::CUninstallPrinterDlg::Options options;
  options.platform = &windows.platform();
  options.worker_thread = true;
  kit::uninstall::CUninstallPrinterDlg page(options);

  const DWORD ui_thread = GetCurrentThreadId();
  int status = 0;
  std::thread driver([&] {
    HWND h = kit::ui::win32::WaitForDialog(ui_thread, kWindowTimeoutMs);
    if (h == nullptr) {
      std::fprintf(stderr, "the window did not appear\n");
      status = 1;
      return;
    }
    Sleep(kUpBeforeShotMs);
    if (!kit::ui::testing::ReportForScreenshot(h, argv[2], argv[3])) status = 1;
    kit::ui::win32::RemoteDialog(h).Click(IDCANCEL);
  });
  const int result = kit::ui::win32::RunModal(page);
  driver.join();
  return status != 0 ? status : (result == IDCANCEL ? 0 : 1);
}
