// kitsetup on Linux: the setup wizard on a virtual Windows machine, shown in
// the terminal by the console host.
//
//   kitsetup --machine DIR [--kit DIR] [--script FILE]
//   kitsetup --machine DIR [--kit DIR] --quiet --accept-licence [options]
//   kitsetup [--machine DIR] [--kit DIR] --help
//
// The kit folder (by default the folder of this program) is laid out on the
// machine's drive as C:\kit, an exact copy of it, and the wizard runs from
// there as C:\kit\kitsetup.exe. A folder that holds no kit is refused
// before the machine is touched. Actions come from the terminal, or from a
// script file, one a line; with --quiet the named options answer the pages.
// The exit status follows the kit's table (common/exit_codes/exit_codes.h).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "common/exit_codes/exit_codes.h"
#include "common/runlog/run_log.h"
#include "platform/sim/kit_folder.h"
#include "platform/sim/machine.h"
#include "setup/app/exit_status.h"
#include "setup/app/kitsetup_app.h"
#include "setup/quiet/quiet_help.h"
#include "setup/quiet/quiet_options.h"
#include "setup/quiet/quiet_wizard.h"
#include "setup/scripted/console_wizard_host.h"
#include "ui/console/action_source.h"

namespace {

namespace fs = std::filesystem;
using kit::setup::StartResult;
namespace exit_code = kit::exit_code;

constexpr char16_t kKitOnMachine[] = u"C:\\kit";
constexpr char16_t kProgramOnMachine[] = u"C:\\kit\\kitsetup.exe";

int Usage() {
  std::fputs("usage: kitsetup --machine DIR [--kit DIR] [--script FILE]\n"
             "       kitsetup --machine DIR [--kit DIR] --quiet --accept-licence [options]  (--help lists them)\n",
             stderr);
  return exit_code::kRefused;
}

// The machine with the kit folder laid out on it; null with the reason
// written.
std::unique_ptr<kit::sim::Machine> OpenMachine(const std::string& machine_dir, std::string kit_dir) {
  if (kit_dir.empty()) kit_dir = fs::canonical("/proc/self/exe").parent_path().string();
  std::string error;
  if (!kit::sim::HoldsKit(kit_dir, &error)) {
    std::fprintf(stderr, "kitsetup: %s; give the kit folder with --kit DIR\n", error.c_str());
    return nullptr;
  }
  kit::sim::ProcessOptions process;
  process.bits = 32;  // the wizard is a 32-bit program
  process.module_path = kProgramOnMachine;
  auto machine = kit::sim::Machine::Open(machine_dir, process, &error);
  if (machine && !kit::sim::LayOutKitFolder(kit_dir, machine->HostPath(kKitOnMachine), &error)) machine.reset();
  if (!machine) std::fprintf(stderr, "kitsetup: %s\n", error.c_str());
  return machine;
}

int RunQuiet(const std::vector<std::string>& args) {
  // --machine and --kit belong to the Linux program; the rest are the
  // options of the Windows program.
  std::string machine_dir, kit_dir;
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if ((args[i] == "--machine" || args[i] == "--kit") && i + 1 < args.size()) {
      std::string& value = args[i] == "--machine" ? machine_dir : kit_dir;
      value = args[++i];
    } else {
      rest.push_back(args[i]);
    }
  }
  kit::setup::quiet::QuietOptions options;
  std::string error;
  if (!kit::setup::quiet::ParseQuietOptions(rest, &options, &error)) {
    std::fprintf(stderr, "kitsetup: %s\n", error.c_str());
    kit::runlog::LogRefusal(rest, "kitsetup: " + error);
    return exit_code::kRefused;
  }
  if (options.help && machine_dir.empty()) {
    // The models depend on the machine (its bitness picks the series files).
    kit::setup::quiet::PrintQuietHelp(std::cout, "kitsetup --machine DIR", {},
                                      "give --machine DIR to list them for that machine");
    return exit_code::kDone;
  }
  if (machine_dir.empty()) return Usage();
  auto machine = OpenMachine(machine_dir, kit_dir);
  if (!machine) return exit_code::kRefused;
  kit::setup::CKitsetupApp::Options app_options;
  app_options.platform = &machine->platform();
  if (options.help) {
    std::string refusal;
    const auto models = kit::setup::quiet::ListModels(std::move(app_options), &refusal);
    kit::setup::quiet::PrintQuietHelp(std::cout, "kitsetup --machine DIR", models, refusal);
    return exit_code::kDone;
  }
  std::ofstream log;
  if (!options.log_file.empty()) {
    if (!kit::runlog::OpenRunLog(options.log_file, &log)) {
      std::fprintf(stderr, "kitsetup: --log: cannot write %s\n", options.log_file.c_str());
      return exit_code::kRefused;
    }
  }
  // --record names a file the run appends to: one that cannot be written
  // is refused before the install, not found out after it.
  if (std::ofstream record; !options.record_file.empty() && !kit::runlog::OpenRunLog(options.record_file, &record)) {
    const std::string line = "--record: cannot write " + options.record_file;
    std::fprintf(stderr, "kitsetup: %s\n", line.c_str());
    if (log.is_open()) kit::runlog::WriteRunLogLine(log, "ended: " + line);
    return exit_code::kRefused;
  }
  kit::setup::quiet::QuietWizardHost host(options, log.is_open() ? &log : nullptr);
  host.set_platform(app_options.platform);
  app_options.host = host.Host();
  kit::setup::CKitsetupApp app(std::move(app_options));
  const StartResult result = app.Run();
  return host.ExitCode(result, app, std::cerr);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (kit::setup::quiet::WantsQuietOrHelp(args)) return RunQuiet(args);

  kit::sim::KitProgramOptions command_line;
  if (!kit::sim::ParseKitProgramOptions(argc, argv, &command_line)) return Usage();
  if (command_line.machine_dir.empty()) return Usage();
  auto machine = OpenMachine(command_line.machine_dir, command_line.kit_dir);
  if (!machine) return exit_code::kRefused;

  const std::string& script = command_line.script;
  kit::ui::console::ActionSource actions;
  if (!actions.Open(script)) {
    std::fprintf(stderr, "kitsetup: cannot read %s\n", script.c_str());
    return exit_code::kRefused;
  }
  kit::setup::ConsoleWizardHost host(actions.stream(), std::cout, actions.options());
  kit::setup::CKitsetupApp::Options options;
  options.platform = &machine->platform();
  options.host = host.Host();
  kit::setup::CKitsetupApp app(std::move(options));
  const StartResult result = app.Run();
  std::cout.flush();
  // A script run gives its reason on standard error as the Windows
  // program's does; a person at the terminal has seen it.
  if (!script.empty()) return host.UnattendedExitCode(result, app, std::cerr);
  return kit::setup::WizardExitCode(result, app.frame());
}
