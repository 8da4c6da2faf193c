// kitsetup.exe: the setup wizard on the real Windows, with real dialogs.
//
//   kitsetup.exe                  the wizard in its windows
//   kitsetup.exe --script FILE    unattended: the same wizard without
//                                 windows, driven by the console actions of
//                                 FILE (the script language of the Linux
//                                 program), message boxes answered from it
//
//   kitsetup.exe --quiet --accept-licence [options]
//                                 unattended: the named options answer the
//                                 same pages (--help or /? lists them with
//                                 the models of this kit folder)
//
// A script run writes what it shows to standard output. Every run ends
// with the kit's exit status (common/exit_codes/exit_codes.h): 0 done, 1
// failed (the text on standard error), 2 refused before any change, 3010
// done but Windows must restart.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "common/codepage/codepage.h"
#include "common/exit_codes/exit_codes.h"
#include "common/runlog/run_log.h"
#include "platform/win32/program_console.h"
#include "platform/win32/windows_platform.h"
#include "setup/app/exit_status.h"
#include "setup/app/kitsetup_app.h"
#include "setup/quiet/quiet_help.h"
#include "setup/quiet/quiet_options.h"
#include "setup/quiet/quiet_wizard.h"
#include "setup/scripted/console_wizard_host.h"
#include "ui/win32/host.h"

namespace {

constexpr wchar_t kScriptOption[] = L"--script";
constexpr int kExitUsage = kit::exit_code::kRefused;

using kit::win32::UseParentConsoleWhereNoOutput;

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

// The command line's arguments after the program, in UTF-8.
int RunQuiet(kit::win32::WindowsPlatform& windows, const std::vector<std::string>& args) {
  UseParentConsoleWhereNoOutput();
  kit::setup::quiet::QuietOptions options;
  std::string error;
  if (!kit::setup::quiet::ParseQuietOptions(args, &options, &error)) {
    std::fprintf(stderr, "kitsetup: %s\n", error.c_str());
    kit::runlog::LogRefusal(args, "kitsetup: " + error);
    return kit::exit_code::kRefused;
  }
  kit::setup::CKitsetupApp::Options app_options;
  app_options.platform = &windows.platform();
  if (options.help) {
    std::string refusal;
    const auto models = kit::setup::quiet::ListModels(std::move(app_options), &refusal);
    kit::setup::quiet::PrintQuietHelp(std::cout, "kitsetup.exe", models, refusal);
    std::cout.flush();
    return kit::exit_code::kDone;
  }
  std::ofstream log;
  if (!options.log_file.empty()) {
    if (!kit::runlog::OpenRunLog(options.log_file, &log)) {
      std::fprintf(stderr, "kitsetup: --log: cannot write %s\n", options.log_file.c_str());
      return kit::exit_code::kRefused;
    }
  }
  // --record names a file the run appends to: one that cannot be written
  // is refused before the install, not found out after it.
  if (std::ofstream record; !options.record_file.empty() && !kit::runlog::OpenRunLog(options.record_file, &record)) {
    const std::string line = "--record: cannot write " + options.record_file;
    std::fprintf(stderr, "kitsetup: %s\n", line.c_str());
    if (log.is_open()) kit::runlog::WriteRunLogLine(log, "ended: " + line);
    return kit::exit_code::kRefused;
  }
  kit::setup::quiet::QuietWizardHost host(options, log.is_open() ? &log : nullptr);
  host.set_platform(app_options.platform);
  app_options.host = host.Host();
  kit::setup::CKitsetupApp app(std::move(app_options));
  const auto result = app.Run();
  return host.ExitCode(result, app, std::cerr);
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
  if (const auto args = kit::win32::CommandLineArguments(); kit::setup::quiet::WantsQuietOrHelp(args)) return RunQuiet(windows, args);
  std::wstring script;
  if (!ScriptArgument(&script)) {
    UseParentConsoleWhereNoOutput();
    std::fputs("usage: kitsetup.exe [--script FILE | --quiet --accept-licence [options] | --help]\n", stderr);
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
  return kit::setup::WizardExitCode(result, app.frame());
}
