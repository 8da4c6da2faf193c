#include "setup/scripted/console_wizard_host.h"

#include <ostream>

#include "common/codepage/codepage.h"
#include "common/exit_codes/exit_codes.h"
#include "setup/app/exit_status.h"
#include "setup/progress/progress_headless.h"

namespace kit::setup {

ConsoleWizardHost::ConsoleWizardHost(std::istream& actions, std::ostream& out, ui::console::Options options)
    : out_(out), console_(actions, out, options) {
  console_.Attach(env_);
}

AppHost ConsoleWizardHost::Host() {
  AppHost host;
  host.message_box = [this](std::u16string_view text, std::u16string_view caption) {
    ui::ShownMessageBox box;
    box.text = std::u16string(text);
    box.caption = std::u16string(caption);
    start_up_message_ = box.text;
    out_ << ui::console::Console::RenderMessageBox(box) << std::flush;
  };
  host.run_modal = [this](ui::Page& frame) {
    ui::headless::Dialog dialog(frame, env_);
    dialog.Create();
    if (!dialog.Ended() && !console_.Run(dialog)) script_ended_early_ = true;
    return dialog.Result();
  };
  host.run_progress = [this](ui::Page& progress) {
    return RunProgressHeadless(env_, progress, [this](ui::headless::Dialog& dialog) {
      out_ << ui::console::Console::Render(dialog) << std::flush;
    });
  };
  return host;
}

std::string ConsoleWizardHost::LastMessage() const {
  // Boxes of the frame come after any refusal at start-up.
  const auto& boxes = env_.MessageBoxes();
  return codepage::Utf16ToUtf8(boxes.empty() ? start_up_message_ : boxes.back().text);
}

int ConsoleWizardHost::UnattendedExitCode(StartResult result, const CKitsetupApp& app, std::ostream& err) const {
  const int code = WizardExitCode(result, app.frame());
  if (code == exit_code::kDone || code == exit_code::kRestartNeeded) return code;
  std::string reason;
  if (result == StartResult::kAlreadyRunning) {
    reason = "another setup program is running";
  } else if (result == StartResult::kFrameClosed && (app.frame() == nullptr || !app.frame()->install_requested())) {
    reason = script_ended_early_ ? "the script ended before the install" : "the wizard was closed without an install";
  }
  const std::string message = LastMessage();
  if (reason.empty() || (!message.empty() && result != StartResult::kAlreadyRunning)) {
    reason = reason.empty() ? message : reason + ": " + message;
  }
  if (reason.empty()) reason = "the install did not finish";
  err << "kitsetup: " << reason << "\n" << std::flush;
  return code;
}

}  // namespace kit::setup
