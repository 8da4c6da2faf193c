// kitsetup on Linux: the setup wizard on a virtual Windows machine, shown in
// the terminal by the console host.
//
//   kitsetup --machine DIR [--kit DIR] [--script FILE]
//
// The kit folder (by default the folder of this program) is laid out on the
// machine's drive as C:\kit, an exact copy of it, and the wizard runs from
// there as C:\kit\kitsetup.exe. A folder that holds no kit is refused
// before the machine is touched (exit status 2). Actions come from the terminal, or from a script
// file, one a line.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

#include "platform/sim/kit_folder.h"
#include "platform/sim/machine.h"
#include "setup/app/kitsetup_app.h"
#include "setup/scripted/console_wizard_host.h"
#include "ui/console/action_source.h"

namespace {

namespace fs = std::filesystem;
using kit::setup::StartResult;

constexpr char16_t kKitOnMachine[] = u"C:\\kit";
constexpr char16_t kProgramOnMachine[] = u"C:\\kit\\kitsetup.exe";
constexpr int kExitUsage = 2;
constexpr int kExitNoMachine = 3;

int Usage() {
  std::fputs("usage: kitsetup --machine DIR [--kit DIR] [--script FILE]\n", stderr);
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  kit::sim::KitProgramOptions command_line;
  if (!kit::sim::ParseKitProgramOptions(argc, argv, &command_line)) return Usage();
  const std::string& machine_dir = command_line.machine_dir;
  const std::string& script = command_line.script;
  std::string kit_dir = command_line.kit_dir;
  if (machine_dir.empty()) return Usage();
  if (kit_dir.empty()) kit_dir = fs::canonical("/proc/self/exe").parent_path().string();
  std::string error;
  if (!kit::sim::HoldsKit(kit_dir, &error)) {
    std::fprintf(stderr, "kitsetup: %s; give the kit folder with --kit DIR\n", error.c_str());
    return kExitUsage;
  }

  kit::sim::ProcessOptions process;
  process.bits = 32;  // the wizard is a 32-bit program
  process.module_path = kProgramOnMachine;
  auto machine = kit::sim::Machine::Open(machine_dir, process, &error);
  if (!machine) {
    std::fprintf(stderr, "kitsetup: %s\n", error.c_str());
    return kExitNoMachine;
  }
  if (!kit::sim::LayOutKitFolder(kit_dir, machine->HostPath(kKitOnMachine), &error)) {
    std::fprintf(stderr, "kitsetup: %s\n", error.c_str());
    return kExitNoMachine;
  }

  kit::ui::console::ActionSource actions;
  if (!actions.Open(script)) {
    std::fprintf(stderr, "kitsetup: cannot read %s\n", script.c_str());
    return kExitUsage;
  }
  kit::setup::ConsoleWizardHost host(actions.stream(), std::cout, actions.options());
  kit::setup::CKitsetupApp::Options options;
  options.platform = &machine->platform();
  options.host = host.Host();
  kit::setup::CKitsetupApp app(std::move(options));
  const StartResult result = app.Run();
  return result == StartResult::kFrameClosed || result == StartResult::kAlreadyRunning ? 0 : 1;
}
