// Install on Linux: runs one action against a virtual Windows machine and
// shows the installer's windows in the console.
//   Install [--machine DIR] [--bits 32|64] [--module PATH] [--script FILE] [action [arguments...]]
// The exit status follows the kit's table (common/exit_codes/exit_codes.h).
// Without --machine the machine comes from the environment a program started
// on the machine receives. Message boxes are answered from the script, or
// from standard input.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "common/exit_codes/exit_codes.h"
#include "platform/sim/machine.h"
#include "ui/console/action_source.h"
#include "ui/console/console.h"
#include "ui/text.h"
#include "usbinstall/installer_dialog.h"
#include "usbinstall/user_profile.h"

namespace {

constexpr char kUsage[] =
    "usage: Install [--machine DIR] [--bits 32|64] [--module PATH] [--script FILE] [action [arguments...]]\n";
constexpr char16_t kModule32[] = u"C:\\kit\\USBDrv\\USBDriver\\Install.exe";
constexpr char16_t kModule64[] = u"C:\\kit\\USBDrv\\USBDriver_x64\\Install.exe";
constexpr int kExitUsage = kit::exit_code::kRefused;

// The progress window as a headless dialog, shown in the console when it
// opens and when it closes.
class ConsoleProgressHost final : public kit::usbinstall::ProgressWindowHost {
 public:
  explicit ConsoleProgressHost(kit::ui::headless::Environment& env) : env_(env) {}
  void Open(kit::ui::Page& page) override {
    dialog_ = std::make_unique<kit::ui::headless::Dialog>(page, env_);
    dialog_->Create();
    std::cout << kit::ui::console::Console::Render(*dialog_);
  }
  void Close() override {
    if (!dialog_) return;
    std::cout << kit::ui::console::Console::Render(*dialog_);
    dialog_.reset();
  }

 private:
  kit::ui::headless::Environment& env_;
  std::unique_ptr<kit::ui::headless::Dialog> dialog_;
};

std::string Quoted(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
  std::string out(1, '"');
  for (const char c : argument) {
    if (c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

}  // namespace

int main(int argc, char** argv) {
  std::string machine_folder, script, bits_text;
  kit::WString module;
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool has_value = i + 1 < argc;
    if (a == "--machine" && has_value) machine_folder = argv[++i];
    else if (a == "--script" && has_value) script = argv[++i];
    else if (a == "--bits" && has_value) bits_text = argv[++i];
    else if (a == "--module" && has_value) module = kit::FromUtf8(argv[++i]);
    else if (a == "--help") {
      std::cout << kUsage;
      return 0;
    } else arguments.push_back(a);
  }

  std::string error;
  std::unique_ptr<kit::sim::Machine> machine;
  if (machine_folder.empty()) {
    machine = kit::sim::Machine::OpenFromEnvironment(&error);
  } else {
    kit::sim::ProcessOptions process;
    if (bits_text.empty()) {
      // The kit runs its 64-bit build on 64-bit Windows.
      process.bits = kit::sim::NativeProcessBits(machine_folder, &error);
      if (process.bits == 0) {
        std::cerr << "Install: " << error << "\n";
        return kExitUsage;
      }
    } else if (bits_text == "32" || bits_text == "64") {
      process.bits = std::stoi(bits_text);
    } else {
      std::cerr << kUsage;
      return kExitUsage;
    }
    process.module_path = !module.empty() ? module : (process.bits == 64 ? kModule64 : kModule32);
    std::string command_line(1, '"');
    command_line += kit::ToUtf8(process.module_path);
    command_line += '"';
    for (const auto& a : arguments) {
      command_line += ' ';
      command_line += Quoted(a);
    }
    process.command_line = kit::FromUtf8(command_line);
    machine = kit::sim::Machine::Open(machine_folder, process, &error);
  }
  if (!machine) {
    std::cerr << "Install: " << error << "\n";
    return kExitUsage;
  }

  kit::Platform& p = machine->platform();
  kit::ui::SetAnsiCodePage(p.system.GetACP());

  kit::ui::console::ActionSource actions;
  if (!actions.Open(script)) {
    std::cerr << "Install: cannot read " << script << "\n";
    return kExitUsage;
  }
  kit::ui::console::Console console(actions.stream(), std::cout, actions.options());
  kit::ui::headless::Environment env;
  console.Attach(env);

  const auto profile = kit::usbinstall::MakeUserProfile(p.system, p.files);
  ConsoleProgressHost progress(env);
  kit::usbinstall::InstallerServices services{p.system, p.files, p.devices, p.spooler,
                                              p.shell,  p.clock, *profile,  std::cout};
  kit::usbinstall::CInfInstallApp app(services, progress);
  app.InitInstance(arguments, [&](kit::ui::Page& page) {
    kit::ui::headless::Dialog dialog(page, env);
    dialog.Create();
    // The window closes itself while it initialises; show what it held.
    std::cout << kit::ui::console::Console::Render(dialog);
    if (!dialog.Ended()) console.Run(dialog);
    return dialog.Result();
  });
  return app.ExitStatus();
}
