// Shows the installer's About box, the one window of Install a user can
// open that shows the program icon inside it (the main window runs its
// action while it initialises and closes before it is ever shown):
//   install_about_screenshot RECT_FILE TAKEN_FILE
// Once the box is up it writes its screen rectangle to RECT_FILE, waits
// until TAKEN_FILE exists and closes with OK.
#include <windows.h>

#include <cstdio>
#include <thread>

#include "tests/ui/screenshot_window.h"
#include "ui/win32/host.h"
#include "ui/win32/remote.h"
#include "usbinstall/installer_dialog.h"

namespace {

constexpr int kWindowTimeoutMs = 10000;
constexpr int kUpBeforeShotMs = 1500;

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: install_about_screenshot RECT TAKEN\n");
    return 2;
  }
  kit::ui::win32::InitCommonControls();
  kit::usbinstall::CAboutInstallerDlg about;
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
    if (!kit::ui::testing::ReportForScreenshot(h, argv[1], argv[2])) status = 1;
    kit::ui::win32::RemoteDialog(h).Click(IDOK);
  });
  const int result = kit::ui::win32::RunModal(about);
  driver.join();
  return status != 0 ? status : (result == IDOK ? 0 : 1);
}
