// Uninstall --quiet: the uninstaller's own main window, run without windows
// in the headless host and answered from named options as a person would
// tick and click it, so the removal is the dialog's removal, step for step.
//
//   --all                  every component the window lists (Select all)
//   --printer NAME         one of the family's printers (repeatable); a name
//                          the window does not list is refused
//   --printers-from FILE   the printers named in FILE, one a line (kitsetup
//                          --quiet --record writes it); a name no printer
//                          has ends 1 naming it, once the rest is removed;
//                          a file that cannot be read is refused (a
//                          relative path is the caller's)
//   --skip-missing         pass over the names of FILE no printer has (the
//                          package's removal: printers deleted by hand, a
//                          retry after a removal that failed half-way)
//   --remove-usb-driver    tick "remove the USB printer driver"
//   --restart              restart Windows when the removal asks for it
//                          (default: no restart, exit status 3010)
//   --log FILE             every log line and message, with the time
//
// Exit status: the kit's table (common/exit_codes/exit_codes.h).
// This file is OS-independent.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "ui/headless/dialog.h"
#include "uninstall/app/uninstall_app.h"

namespace kit::uninstall::quiet {

struct QuietOptions {
  bool quiet = false;
  bool help = false;
  bool all = false;
  std::vector<std::string> printers;  // UTF-8
  std::string printers_from;          // a file of names (UTF-8 path)
  std::vector<std::string> recorded;  // its names, read by RunQuiet before the run
  bool remove_usb_driver = false;
  bool restart = false;
  bool skip_missing = false;
  std::string log_file;
};

bool WantsQuietOrHelp(const std::vector<std::string>& args);
// False with *error: one line naming the option and what is wrong.
bool ParseQuietOptions(const std::vector<std::string>& args, QuietOptions* options, std::string* error);
void PrintQuietHelp(std::ostream& out, const std::string& program);

class QuietUninstallHost {
 public:
  QuietUninstallHost(const QuietOptions& options, std::ostream* log);
  UninstallAppHost Host();
  // After CUninstallPrinterApp::Run: the exit status (as every run of the
  // uninstaller reckons it, uninstall/app/exit_status.h, or 2 for a refused
  // option); unless done, one line saying why on `err` after "Uninstall: ".
  int ExitCode(UninstallStart start, const CUninstallPrinterDlg* window, std::ostream& err);

 private:
  void Drive(ui::headless::Dialog& dialog);
  void Log(const std::string& line);
  // Writes the main window's log lines not yet written.
  void FlushWindowLog();

  const QuietOptions& options_;
  std::ostream* log_;
  ui::headless::Environment env_;
  std::string refusal_;
  std::vector<std::string> missing_;  // names of --printers-from no printer has
  std::string start_up_message_;
  ui::headless::Dialog* main_ = nullptr;
  std::size_t window_lines_logged_ = 0;
};

// The quiet removal on `platform`, for both programs: opens the --log file,
// runs the main window answered from `options` and returns the exit status
// (unless done, the reason on `err`). `before_run` runs once the log is open,
// before the uninstaller starts (a relative --log path is the caller's).
int RunQuiet(const QuietOptions& options, Platform& platform, std::ostream& err,
             const std::function<void()>& before_run = {});

}  // namespace kit::uninstall::quiet
