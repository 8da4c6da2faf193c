// Whole installs on a virtual machine: the request as the frame builds it,
// Install start and the worker (on the test's thread), with the monitor
// rules that make the kit's serial and USB monitors offer their ports.
#pragma once

#include <string>
#include <vector>

#include "setup/install/install_start.h"
#include "setup/install/install_worker.h"
#include "tests/setup/engine/engine_machine.h"

namespace kit::setup::testing {

// Records every box; questions are answered from `answers` in turn (no
// when they run out) and recorded as "? key".
struct RecordingPrompts final : InstallPrompts {
  std::vector<std::string> shown;
  std::vector<bool> answers;
  void Message(std::string_view key) override { shown.emplace_back(key); }
  void ErrorBox(std::string_view text) override { shown.push_back("ERROR: " + std::string(text)); }
  void Notice(std::string_view text) override { shown.emplace_back(text); }
  bool Ask(std::string_view key) override {
    shown.push_back("? " + std::string(key));
    if (answers.empty()) return false;
    const bool yes = answers.front();
    answers.erase(answers.begin());
    return yes;
  }
};

struct InstallRun {
  StartOutcome outcome = StartOutcome::kRefused;
  int state = -1;  // the progress state the worker left, -1 when it did not run
  std::string text;
  std::vector<std::string> prompts;
};

// A request for the sample kit's receipt model "VRT-Q40" (or `model`).
InstallRequest Request(EngineMachine& m, const std::string& port, const std::string& model = "VRT-Q40");
InstallRun Install(EngineMachine& m, const InstallRequest& request);

// The spooler's printers, drivers and monitors by name.
sim::Json Printer(EngineMachine& m, const std::string& name);
sim::Json Driver(EngineMachine& m, const std::string& name);

}  // namespace kit::setup::testing
