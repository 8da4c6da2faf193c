// Shows one of the uninstaller's windows for a screenshot:
//   uninstall_screenshot main|restart KIT_FOLDER RECT_FILE TAKEN_FILE
// main: the main window, opened with the kit folder as the current
// directory; restart: the restart question with its texts from the kit's
// English language file. Once the window has been up for a while it writes
// its screen rectangle ("x y width height") to RECT_FILE, waits until
// TAKEN_FILE exists and ends with Exit (No).
#include <windows.h>

#include <cstdio>
#include <string>

#include "common/text/uninstall_string.h"
#include "platform/profile_file_source.h"
#include "platform/win32/windows_platform.h"
#include "ui/text.h"
#include "ui/win32/host.h"
#include "tests/ui/screenshot_modal.h"
#include "uninstall/dialog/small_dialogs.h"
#include "uninstall/dialog/uninstall_dlg.h"

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc == 5 ? argv[1] : L"";
  if (mode != L"main" && mode != L"restart") {
    std::fprintf(stderr, "usage: uninstall_screenshot main|restart KIT_FOLDER RECT_FILE TAKEN_FILE\n");
    return 2;
  }
  if (!SetCurrentDirectoryW(argv[2])) return 2;
  kit::ui::win32::InitCommonControls();
  kit::win32::WindowsPlatform windows;
  kit::ui::SetAnsiCodePage(windows.platform().system.GetACP());
  kit::uninstall::CUninstallPrinterDlg::Options options;
  options.platform = &windows.platform();
  options.worker_thread = true;
  kit::uninstall::CUninstallPrinterDlg main_window(options);
  kit::PlatformFileSource files(windows.platform().files);
  const std::string kit_folder = kit::ui::ToAnsi(kit::ui::win32::FromWide(argv[2]));
  kit::uninstall::CMyString restart_texts(files, kit_folder, kit::uninstall::UninstallLanguageFile(0x409), "Reboot");
  kit::uninstall::CRebootDlg restart(restart_texts, false);

  kit::ui::Page& page = mode == L"main" ? static_cast<kit::ui::Page&>(main_window) : restart;
  return kit::ui::testing::ShowModalForScreenshot(page, argv[3], argv[4],
                                                  {.window_timeout_ms = 20000, .up_before_shot_ms = 2000});
}
