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
#include "ui/win32/remote.h"
#include "uninstall/dialog/uninstall_dlg.h"

namespace {

constexpr int kWindowTimeoutMs = 20000;
constexpr int kUpBeforeShotMs = 2000;
constexpr int kShotTimeoutMs = 30000;
constexpr int kPollMs = 50;

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
    RECT r;
    GetWindowRect(h, &r);
    if (FILE* f = _wfopen(argv[2], L"w")) {
      std::fprintf(f, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
      std::fclose(f);
    } else {
      status = 1;
    }
    for (int waited = 0; waited < kShotTimeoutMs; waited += kPollMs) {
      if (GetFileAttributesW(argv[3]) != INVALID_FILE_ATTRIBUTES) break;
      Sleep(kPollMs);
    }
    kit::ui::win32::RemoteDialog(h).Click(IDCANCEL);
  });
  const int result = kit::ui::win32::RunModal(page);
  driver.join();
  return status != 0 ? status : (result == IDCANCEL ? 0 : 1);
}
