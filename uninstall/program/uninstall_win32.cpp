// Uninstall.exe: the uninstaller on the real Windows, with real dialogs; the
// removal runs on a worker thread of its own.
//
//   Uninstall.exe                       the window
//   Uninstall.exe --quiet (--all | --printer NAME ...) [--remove-usb-driver]
//                 [--restart] [--log FILE]
//                                       the same window's removal without
//                                       windows (uninstall/quiet)
//   Uninstall.exe --help | /?           the options
//
// Every run ends with the kit's exit status (common/exit_codes/exit_codes.h).
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "common/codepage/codepage.h"
#include "common/exit_codes/exit_codes.h"
#include "common/runlog/run_log.h"
#include "platform/win32/program_console.h"
#include "platform/win32/windows_platform.h"
#include "uninstall/app/exit_status.h"
#include "uninstall/app/uninstall_app.h"
#include "uninstall/quiet/uninstall_quiet.h"
#include "ui/text.h"
#include "ui/win32/host.h"

namespace {

using kit::win32::UseParentConsoleWhereNoOutput;

// A quiet removal reads the kit folder it was started from, whatever folder
// its starter was in (an MSI custom action starts it from the system
// folder).
void UseProgramFolderAsCurrent() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  std::wstring folder(path, length);
  const std::size_t slash = folder.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return;
  SetCurrentDirectoryW(folder.substr(0, slash).c_str());
}

int RunQuiet(kit::win32::WindowsPlatform& windows, const std::vector<std::string>& args) {
  UseParentConsoleWhereNoOutput();
  kit::uninstall::quiet::QuietOptions quiet;
  std::string why;
  if (!kit::uninstall::quiet::ParseQuietOptions(args, &quiet, &why)) {
    std::fprintf(stderr, "Uninstall: %s\n", why.c_str());
    kit::runlog::LogRefusal(args, "Uninstall: " + why);
    return kit::exit_code::kRefused;
  }
  if (quiet.help) {
    kit::uninstall::quiet::PrintQuietHelp(std::cout, "Uninstall.exe");
    std::cout.flush();
    return kit::exit_code::kDone;
  }
  return kit::uninstall::quiet::RunQuiet(quiet, windows.platform(), std::cerr, UseProgramFolderAsCurrent);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  kit::ui::win32::SetModuleInstance(instance);
  kit::win32::WindowsPlatform windows;
  kit::ui::SetAnsiCodePage(windows.platform().system.GetACP());
  if (const auto args = kit::win32::CommandLineArguments(); kit::uninstall::quiet::WantsQuietOrHelp(args)) return RunQuiet(windows, args);

  kit::ui::win32::InitCommonControls();
  kit::uninstall::CUninstallPrinterApp::Options options;
  options.platform = &windows.platform();
  options.worker_thread = true;
  std::string start_up_message;
  options.host.message_box = [&](std::u16string_view text, std::u16string_view caption) {
    start_up_message = kit::codepage::Utf16ToUtf8(text);
    MessageBoxW(nullptr, kit::ui::win32::Wide(text).c_str(), kit::ui::win32::Wide(caption).c_str(), MB_OK);
  };
  options.host.run_modal = [](kit::ui::Page& dialog) { return kit::ui::win32::RunModal(dialog); };
  kit::uninstall::CUninstallPrinterApp app(std::move(options));
  const auto start = app.Run();
  const auto ending = kit::uninstall::UninstallEnding(start, start_up_message, app.dialog());
  // The reason of a run that did not end done goes to the starter's console.
  if (!ending.why.empty()) UseParentConsoleWhereNoOutput();
  return kit::uninstall::ReportEnding(ending, std::cerr);
}
