// This file is OS-independent.
#include "setup/app/exit_status.h"

#include "common/exit_codes/exit_codes.h"

namespace kit::setup {

int WizardExitCode(StartResult result, const CKitsetupDlg* frame) {
  if (result != StartResult::kFrameClosed || frame == nullptr) return exit_code::kRefused;
  if (frame->install_finished()) return frame->restart_declined() ? exit_code::kRestartNeeded : exit_code::kDone;
  if (frame->handed_to_installer()) return exit_code::kDone;
  if (frame->worker_started() || frame->start_failed()) return exit_code::kFailed;
  return exit_code::kRefused;
}

}  // namespace kit::setup
