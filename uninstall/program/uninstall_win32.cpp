// Uninstall.exe: the uninstaller on the real Windows, with real dialogs; the
// removal runs on a worker thread of its own.
#include <windows.h>

#include "platform/win32/windows_platform.h"
#include "uninstall/app/uninstall_app.h"
#include "ui/text.h"
#include "ui/win32/host.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  kit::ui::win32::SetModuleInstance(instance);
  kit::ui::win32::InitCommonControls();
  kit::win32::WindowsPlatform windows;
  kit::ui::SetAnsiCodePage(windows.platform().system.GetACP());
  kit::uninstall::CUninstallPrinterApp::Options options;
  options.platform = &windows.platform();
  options.worker_thread = true;
  options.host.message_box = [](std::u16string_view text, std::u16string_view caption) {
    MessageBoxW(nullptr, kit::ui::win32::Wide(text).c_str(), kit::ui::win32::Wide(caption).c_str(), MB_OK);
  };
  options.host.run_modal = [](kit::ui::Page& dialog) { return kit::ui::win32::RunModal(dialog); };
  kit::uninstall::CUninstallPrinterApp app(std::move(options));
  app.Run();
  return 0;
}
