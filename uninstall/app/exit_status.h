// How every run of the uninstaller ends: the window, its scripted runs and
// the quiet removal take their exit status and their line on standard error
// from here (the kit's table, common/exit_codes/exit_codes.h).
// This file is OS-independent.
#pragma once

#include <iosfwd>
#include <string>

#include "uninstall/app/uninstall_app.h"
#include "uninstall/flow/removal_outcome.h"

namespace kit::uninstall {

// The line a second Uninstall prints (the first one's window is brought to
// the front).
inline constexpr char kAlreadyRunningLine[] = "Uninstall: another Uninstall is already running";

// A start that did not reach the window is refused (2), with the start-up
// message as its reason; otherwise the window's removals decide
// (RemovalOutcome::Ending), their reason in UTF-8.
RemovalEnding UninstallEnding(UninstallStart start, const std::string& start_message,
                              const CUninstallPrinterDlg* window);

// Writes "Uninstall: " and the reason on `err` unless the run is done (or
// done but for a restart), and returns the status.
int ReportEnding(const RemovalEnding& ending, std::ostream& err);

}  // namespace kit::uninstall
