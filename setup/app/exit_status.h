// The wizard's exit status, from how it ended (the kit's table in
// common/exit_codes/exit_codes.h). The same for the Linux program, the
// Windows program's unattended runs and its window.
// This file is OS-independent.
#pragma once

#include "setup/app/kitsetup_app.h"

namespace kit::setup {

// 0 after a finished install (or the class-printer route handing it to
// Install), 3010 when Windows must restart for it, 1 when the install ran
// and failed, 2 when nothing was installed: a start-up refusal, another
// setup running, a page or the install start refusing, or the wizard
// closed before Install.
int WizardExitCode(StartResult result, const CKitsetupDlg* frame);

}  // namespace kit::setup
