// An unattended run of the wizard through the console host: 0 after a
// finished install, 1 with the reason on the error stream after a failed
// install, 2 after a cancel, a refused install or a script that ends early
// (nothing installed); every message box is answered from the script.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "common/exit_codes/exit_codes.h"
#include "platform/sim/kit_folder.h"
#include "platform/sim/scratch_machine.h"
#include "platform/sim/store.h"
#include "setup/scripted/console_wizard_host.h"

namespace kit::setup {
namespace {

constexpr char16_t kKitOnMachine[] = u"C:\\kit";

struct Outcome {
  int code = -1;
  std::string out, err;
};

Outcome RunScript(const std::string& preset, const std::string& script,
                  const std::function<void(const std::filesystem::path&)>& prepare = {}) {
  sim::ScratchOptions options;
  options.preset = preset;
  options.process.bits = 32;
  options.process.module_path = u"C:\\kit\\kitsetup.exe";
  std::string error;
  auto machine = sim::ScratchMachine::Create(options, &error);
  EXPECT_NE(machine, nullptr) << error;
  if (!machine) return {};
  EXPECT_TRUE(sim::LayOutKitFolder(KIT_FOLDER, machine->machine().HostPath(kKitOnMachine), &error)) << error;
  if (prepare) prepare(machine->folder());
  std::istringstream actions(script);
  std::ostringstream out, err;
  Outcome outcome;
  {
    ConsoleWizardHost host(actions, out);
    CKitsetupApp::Options app_options;
    app_options.platform = &machine->platform();
    app_options.host = host.Host();
    CKitsetupApp app(std::move(app_options));
    const auto result = app.Run();
    outcome.code = host.UnattendedExitCode(result, app, err);
  }
  outcome.out = out.str();
  outcome.err = err.str();
  return outcome;
}

constexpr char kToPortPage[] = "click 1057\nclick 1\nselect 1030 0\nclick 1\nclick 1\n";

TEST(UnattendedRun, ExitCodeFollowsTheOutcome) {
  struct Case {
    const char* what;
    std::string script;
    int code;
    std::string err;  // the start of the error stream
  };
  const Case cases[] = {
      {"an install on LPT1: that finishes", std::string(kToPortPage) + "select 1049 LPT1:\nclick 1\nanswer OK\n",
       exit_code::kDone, ""},
      {"Cancel on the licence page", "click 2\n", exit_code::kRefused,
       "kitsetup: the wizard was closed without an install\n"},
      {"the script ends on the port page", kToPortPage, exit_code::kRefused,
       "kitsetup: the script ended before the install\n"},
      {"an install on a network port without an address, then Cancel",
       std::string(kToPortPage) + "select 1049 NET:\nclick 1\nanswer OK\nclick 2\n", exit_code::kRefused,
       "kitsetup: Please enter the printer's IP address.\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Outcome outcome = RunScript("win7-x64-en", c.script);
    EXPECT_EQ(outcome.code, c.code) << outcome.out;
    EXPECT_EQ(outcome.err, c.err);
    EXPECT_EQ(outcome.out.find("\n! "), std::string::npos) << "a refused action:\n" << outcome.out;
  }
}

TEST(UnattendedRun, AFailedInstallGivesItsTextOnTheErrorStream) {
  // The spooler refuses the printer: the install fails with the wizard's
  // own text, answered from the script, and the run ends with 1.
  const Outcome outcome = RunScript(
      "win7-x64-en", std::string(kToPortPage) + "select 1049 LPT1:\nclick 1\nanswer OK\n",
      [](const std::filesystem::path& machine) {
        sim::Store(machine).Update(
            [](sim::Json& s) {
              s["faults"]["calls"].push_back({{"api", "AddPrinter"}, {"error", 5}, {"remaining", -1}});
              return true;
            },
            nullptr);
      });
  EXPECT_EQ(outcome.code, exit_code::kFailed) << outcome.out;
  EXPECT_EQ(outcome.err.rfind("kitsetup: The printer could not be created.", 0), 0u) << outcome.err;
  EXPECT_NE(outcome.out.find("  answered OK"), std::string::npos) << outcome.out;
}

}  // namespace
}  // namespace kit::setup
