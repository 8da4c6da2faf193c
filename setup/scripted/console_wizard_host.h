// The setup wizard without windows: its frame and progress dialog run in the
// headless host, shown and driven by the console host (actions typed or
// read from a script, message boxes answered the same way). The Linux
// program runs this way on a virtual machine; the Windows program with
// --script on the real system, for unattended installs on many tills.
// This file is OS-independent.
#pragma once

#include <iosfwd>
#include <string>

#include "setup/app/kitsetup_app.h"
#include "ui/console/console.h"
#include "ui/headless/dialog.h"

namespace kit::setup {

class ConsoleWizardHost {
 public:
  // Output (dialogs, message boxes, the actions read) goes to `out`.
  ConsoleWizardHost(std::istream& actions, std::ostream& out, ui::console::Options options = {});

  // The host for CKitsetupApp::Options::host.
  AppHost Host();

  // The text of the last message box shown, in UTF-8 (empty when none).
  std::string LastMessage() const;

  // An unattended run's exit code (WizardExitCode); unless the install
  // finished, the reason (the last message, or what ended the run) is
  // written to `err` after "kitsetup: ".
  int UnattendedExitCode(StartResult result, const CKitsetupApp& app, std::ostream& err) const;

 private:
  std::ostream& out_;
  ui::console::Console console_;
  ui::headless::Environment env_;
  std::u16string start_up_message_;  // a refusal before the frame
  bool script_ended_early_ = false;
};

}  // namespace kit::setup
