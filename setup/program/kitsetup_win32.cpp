// kitsetup.exe: the setup wizard on the real Windows, with real dialogs.
#include <windows.h>

#include "platform/win32/windows_platform.h"
#include "setup/app/kitsetup_app.h"
#include "ui/win32/host.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  kit::ui::win32::SetModuleInstance(instance);
  kit::ui::win32::InitCommonControls();
  kit::win32::WindowsPlatform windows;
  kit::setup::CKitsetupApp::Options options;
  options.platform = &windows.platform();
  options.host.message_box = [](std::u16string_view text, std::u16string_view caption) {
    MessageBoxW(nullptr, kit::ui::win32::Wide(text).c_str(), kit::ui::win32::Wide(caption).c_str(), MB_OK);
  };
  options.host.run_modal = [](kit::ui::Page& frame) { return kit::ui::win32::RunModal(frame); };
  kit::setup::CKitsetupApp app(std::move(options));
  const auto result = app.Run();
  return result == kit::setup::StartResult::kFrameClosed || result == kit::setup::StartResult::kAlreadyRunning ? 0 : 1;
}
