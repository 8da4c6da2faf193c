// Shows the installer's About box, the one window of Install a user can
// open that shows the program icon inside it (the main window runs its
// action while it initialises and closes before it is ever shown):
//   install_about_screenshot RECT_FILE TAKEN_FILE
// Once the box is up it writes its screen rectangle to RECT_FILE, waits
// until TAKEN_FILE exists and closes with OK.
#include <windows.h>

#include <cstdio>

#include "tests/ui/screenshot_modal.h"
#include "ui/win32/host.h"
#include "usbinstall/installer_dialog.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: install_about_screenshot RECT TAKEN\n");
    return 2;
  }
  kit::ui::win32::InitCommonControls();
  kit::usbinstall::CAboutInstallerDlg about;
  return kit::ui::testing::ShowModalForScreenshot(about, argv[1], argv[2], {.close_button = IDOK});
}
