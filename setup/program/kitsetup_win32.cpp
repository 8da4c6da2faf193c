// kitsetup.exe: the setup wizard on the real Windows, with real dialogs.
//
//   kitsetup.exe                  the wizard in its windows
//   kitsetup.exe --script FILE    unattended: the same wizard without
//                                 windows, driven by the console actions of
//                                 FILE (the script language of the Linux
//                                 program), message boxes answered from it
//
// An unattended run writes what it shows to standard output and exits 0
// after a finished install, 1 after a refusal or a failure, whose text goes
// to standard error; 2 when the script cannot be read. Without --script
// nothing changes.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "platform/win32/windows_platform.h"
#include "setup/app/kitsetup_app.h"
#include "setup/scripted/console_wizard_host.h"
#include "ui/win32/host.h"

namespace {

constexpr wchar_t kScriptOption[] = L"--script";
constexpr int kExitUsage = 2;

// A program of the Windows subsystem has standard handles only when its
// starter gave it some (a redirection); started from a console without one,
// it writes to that console.
void UseParentConsoleWhereNoOutput() {
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (output != nullptr && output != INVALID_HANDLE_VALUE) return;
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  std::freopen("CONOUT$", "w", stdout);
  std::freopen("CONOUT$", "w", stderr);
  std::cout.clear();
  std::cerr.clear();
}

// The script named on the command line; empty without --script (other
// arguments are ignored, as they always were). False for a --script
// without a file.
bool ScriptArgument(std::wstring* script) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == nullptr) return true;
  bool ok = true;
  for (int i = 1; i < argc; ++i) {
    if (std::wstring(argv[i]) != kScriptOption) continue;
    if (i + 1 < argc && argv[i + 1][0] != L'\0') {
      *script = argv[++i];
    } else {
      ok = false;
    }
  }
  LocalFree(argv);
  return ok;
}

int RunUnattended(kit::win32::WindowsPlatform& windows, const std::wstring& script) {
  UseParentConsoleWhereNoOutput();
  std::ifstream actions{std::filesystem::path(script)};
  if (!actions) {
    std::fprintf(stderr, "kitsetup: cannot read %ls\n", script.c_str());
    return kExitUsage;
  }
  kit::setup::ConsoleWizardHost host(actions, std::cout);
  kit::setup::CKitsetupApp::Options options;
  options.platform = &windows.platform();
  options.host = host.Host();
  kit::setup::CKitsetupApp app(std::move(options));
  const auto result = app.Run();
  std::cout.flush();
  return host.UnattendedExitCode(result, app, std::cerr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  kit::ui::win32::SetModuleInstance(instance);
  kit::win32::WindowsPlatform windows;
  std::wstring script;
  if (!ScriptArgument(&script)) {
    UseParentConsoleWhereNoOutput();
    std::fputs("usage: kitsetup.exe [--script FILE]\n", stderr);
    return kExitUsage;
  }
  if (!script.empty()) return RunUnattended(windows, script);

  kit::ui::win32::InitCommonControls();
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
