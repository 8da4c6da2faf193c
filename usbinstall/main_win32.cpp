// Install.exe: the Windows program. Runs the action named on its command
// line while its main window initialises, then ends with the action's exit
// status (common/exit_codes/exit_codes.h; 2 when the action could not run).
#include <windows.h>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/windows_platform.h"
#include "ui/text.h"
#include "ui/win32/host.h"
#include "usbinstall/installer_dialog.h"
#include "usbinstall/user_profile.h"

namespace {

// The progress window as a real modeless dialog, always on top.
class Win32ProgressHost final : public kit::usbinstall::ProgressWindowHost {
 public:
  void Open(kit::ui::Page& page) override {
    dialog_ = std::make_unique<kit::ui::win32::ModelessDialog>(page);
    if (HWND window = dialog_->hwnd()) {
      ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
      ::ShowWindow(window, SW_SHOW);
      ::UpdateWindow(window);
    }
  }
  void Close() override { dialog_.reset(); }
  void Pump() override {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }

 private:
  std::unique_ptr<kit::ui::win32::ModelessDialog> dialog_;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  kit::ui::win32::SetModuleInstance(instance);
  kit::ui::win32::InitCommonControls();
  kit::win32::WindowsPlatform windows;
  kit::Platform& p = windows.platform();
  kit::ui::SetAnsiCodePage(p.system.GetACP());

  // The ANSI arguments as the C run-time split them.
  std::vector<std::string> arguments;
  for (int i = 1; i < __argc; ++i) arguments.emplace_back(__argv[i]);

  const auto profile = kit::usbinstall::MakeUserProfile(p.system, p.files);
  Win32ProgressHost progress;
  kit::usbinstall::InstallerServices services{p.system, p.files, p.devices, p.spooler,
                                              p.shell,  p.clock, *profile,  std::cout};
  kit::usbinstall::CInfInstallApp app(services, progress);
  app.InitInstance(arguments, [](kit::ui::Page& page) { return kit::ui::win32::RunModal(page); });
  return app.ExitStatus();
}
