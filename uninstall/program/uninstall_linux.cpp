// Uninstall on Linux: the uninstaller on a virtual Windows machine, shown in
// the terminal by the console host.
//
//   Uninstall [--machine DIR] [--kit DIR] [--script FILE]
//   Uninstall [--machine DIR] [--kit DIR] --quiet (--all | --printer NAME ...) [...]
//
// The kit folder (the current directory, or --kit DIR) is laid out on the
// machine's drive as C:\kit, an exact copy of it, and the program runs from
// there as C:\kit\Uninstall.exe with C:\kit as its current directory. A
// folder that holds no kit is refused before the machine is touched. Without
// --machine the machine is the one a program started on it receives, and its
// C:\kit is used as it stands.
// Actions come from the terminal, or from a script file, one a line; with
// --quiet named options answer the window (uninstall/quiet). The exit status
// follows the kit's table (common/exit_codes/exit_codes.h).
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "common/codepage/codepage.h"
#include "common/exit_codes/exit_codes.h"
#include "common/runlog/run_log.h"

#include "platform/sim/kit_folder.h"
#include "platform/sim/machine.h"
#include "uninstall/app/exit_status.h"
#include "uninstall/app/uninstall_app.h"
#include "uninstall/quiet/uninstall_quiet.h"
#include "ui/console/action_source.h"
#include "ui/console/console.h"
#include "ui/text.h"

namespace {

namespace fs = std::filesystem;

constexpr char16_t kKitOnMachine[] = u"C:\\kit";
constexpr char16_t kProgramOnMachine[] = u"C:\\kit\\Uninstall.exe";
constexpr int kExitUsage = kit::exit_code::kRefused;
constexpr int kExitNoMachine = kit::exit_code::kRefused;

int Usage() {
  std::fputs("usage: Uninstall [--machine DIR] [--kit DIR] [--script FILE]\n", stderr);
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  // --quiet and --help: the Linux program's own options (--machine, --kit)
  // are taken out here, the rest are the Windows program's.
  std::vector<std::string> quiet_args;
  std::vector<char*> own_args = {argv[0]};
  const bool quiet_run = kit::uninstall::quiet::WantsQuietOrHelp(std::vector<std::string>(argv + 1, argv + argc));
  for (int i = 1; quiet_run && i < argc; ++i) {
    const std::string a = argv[i];
    if ((a == "--machine" || a == "--kit") && i + 1 < argc) {
      own_args.push_back(argv[i]);
      own_args.push_back(argv[++i]);
    } else {
      quiet_args.push_back(a);
    }
  }
  kit::uninstall::quiet::QuietOptions quiet;
  if (quiet_run) {
    std::string why;
    if (!kit::uninstall::quiet::ParseQuietOptions(quiet_args, &quiet, &why)) {
      std::fprintf(stderr, "Uninstall: %s\n", why.c_str());
      kit::runlog::LogRefusal(quiet_args, "Uninstall: " + why);
      return kit::exit_code::kRefused;
    }
    if (quiet.help) {
      kit::uninstall::quiet::PrintQuietHelp(std::cout, "Uninstall");
      return kit::exit_code::kDone;
    }
    argc = static_cast<int>(own_args.size());
    argv = own_args.data();
  }
  kit::sim::KitProgramOptions command_line;
  if (!kit::sim::ParseKitProgramOptions(argc, argv, &command_line)) return Usage();
  const std::string& machine_dir = command_line.machine_dir;
  const std::string& script = command_line.script;
  std::string kit_dir = command_line.kit_dir;

  std::string error;
  if (!machine_dir.empty()) {
    if (kit_dir.empty()) kit_dir = fs::current_path().string();
    if (!kit::sim::HoldsKit(kit_dir, &error)) {
      std::fprintf(stderr, "Uninstall: %s; start it in the kit folder or give --kit DIR\n", error.c_str());
      return kExitUsage;
    }
  }
  std::unique_ptr<kit::sim::Machine> machine;
  if (machine_dir.empty()) {
    machine = kit::sim::Machine::OpenFromEnvironment(&error);
  } else {
    kit::sim::ProcessOptions process;
    process.bits = 32;  // the uninstaller is a 32-bit program
    process.module_path = kProgramOnMachine;
    process.current_directory = kKitOnMachine;
    machine = kit::sim::Machine::Open(machine_dir, process, &error);
    if (machine) {
      if (!kit::sim::LayOutKitFolder(kit_dir, machine->HostPath(kKitOnMachine), &error)) {
        machine.reset();
      }
    }
  }
  if (!machine) {
    std::fprintf(stderr, "Uninstall: %s\n", error.c_str());
    return kExitNoMachine;
  }
  kit::Platform& p = machine->platform();
  kit::ui::SetAnsiCodePage(p.system.GetACP());

  if (quiet_run) return kit::uninstall::quiet::RunQuiet(quiet, p, std::cerr);

  kit::ui::console::ActionSource actions;
  if (!actions.Open(script)) {
    std::fprintf(stderr, "Uninstall: cannot read %s\n", script.c_str());
    return kExitUsage;
  }
  kit::ui::console::Console console(actions.stream(), std::cout, actions.options());
  kit::ui::headless::Environment env;
  console.Attach(env);

  kit::uninstall::CUninstallPrinterApp::Options options;
  options.platform = &p;
  std::string start_up_message;
  options.host.message_box = [&](std::u16string_view text, std::u16string_view caption) {
    start_up_message = kit::codepage::Utf16ToUtf8(text);
    kit::ui::ShownMessageBox box;
    box.text = std::u16string(text);
    box.caption = std::u16string(caption);
    std::cout << kit::ui::console::Console::RenderMessageBox(box) << std::flush;
  };
  options.host.run_modal = [&](kit::ui::Page& dialog) {
    kit::ui::headless::Dialog d(dialog, env);
    d.Create();
    if (!d.Ended()) console.Run(d);
    return d.Result();
  };
  kit::uninstall::CUninstallPrinterApp app(std::move(options));
  const auto start = app.Run();
  std::cout.flush();
  return kit::uninstall::ReportEnding(kit::uninstall::UninstallEnding(start, start_up_message, app.dialog()), std::cerr);
}
