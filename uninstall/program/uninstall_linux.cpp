// Uninstall on Linux: the uninstaller on a virtual Windows machine, shown in
// the terminal by the console host.
//
//   Uninstall [--machine DIR] [--kit DIR] [--script FILE]
//
// The kit folder (the current directory, or --kit DIR) is laid out on the
// machine's drive as C:\kit, an exact copy of it, and the program runs from
// there as C:\kit\Uninstall.exe with C:\kit as its current directory. A
// folder that holds no kit is refused before the machine is touched (exit
// status 2). Without --machine the machine is the one a program started on
// it receives, and its C:\kit is used as it stands.
// Actions come from the terminal, or from a script file, one a line.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

#include "platform/sim/kit_folder.h"
#include "platform/sim/machine.h"
#include "uninstall/app/uninstall_app.h"
#include "ui/console/action_source.h"
#include "ui/console/console.h"
#include "ui/text.h"

namespace {

namespace fs = std::filesystem;

constexpr char16_t kKitOnMachine[] = u"C:\\kit";
constexpr char16_t kProgramOnMachine[] = u"C:\\kit\\Uninstall.exe";
constexpr int kExitUsage = 2;
constexpr int kExitNoMachine = 3;

int Usage() {
  std::fputs("usage: Uninstall [--machine DIR] [--kit DIR] [--script FILE]\n", stderr);
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
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
  options.host.message_box = [](std::u16string_view text, std::u16string_view caption) {
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
  app.Run();
  return 0;
}
