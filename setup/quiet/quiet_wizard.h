// kitsetup --quiet: the wizard's own frame and pages, run without windows
// in the headless host and answered from the named options, page by page,
// as a person would click them. Every rule and check of the pages and of
// Install applies unchanged; a choice a page does not offer or refuses
// ends the run before Install with that page's text (exit status 2), and
// nothing is installed. The Linux program runs this on a virtual machine,
// the Windows program on the real system.
// This file is OS-independent.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "setup/app/kitsetup_app.h"
#include "setup/quiet/quiet_options.h"
#include "ui/headless/dialog.h"

namespace kit::setup::quiet {

class QuietWizardHost {
 public:
  // `log` (optional) gets every text the wizard shows, one line each with
  // the time, and each choice the options made.
  QuietWizardHost(const QuietOptions& options, std::ostream* log);

  // The host for CKitsetupApp::Options::host.
  AppHost Host();

  // The run's exit status (the kit's table); unless the install finished,
  // one line saying why goes to `err` after "kitsetup: ".
  int ExitCode(StartResult result, const CKitsetupApp& app, std::ostream& err);

  // What the series page listed, per series (filled by a run with
  // `list_only`, which stops on the series page).
  const std::vector<std::vector<std::string>>& Models() const { return models_; }

  // With a platform, the printers a finished run created are appended to
  // --record's file, one name a line (UTF-8), for a later removal of just
  // those (Uninstall --quiet --printers-from).
  void set_platform(Platform* platform) { platform_ = platform; }
  void set_list_only(bool list_only) { list_only_ = list_only; }

 private:
  // Why an install whose USB id question was answered from --usb-id did
  // not go on: the id the printer answered and the port.
  std::string UsbIdKeptReason() const;
  void Drive(ui::headless::Dialog& frame);
  bool DriveSeriesPage(ui::headless::Dialog& frame);
  bool DriveModePage(ui::headless::Dialog& frame);
  bool DrivePortPage(ui::headless::Dialog& frame);
  // Clicks a control of the frame or its visible page; false when that was
  // refused.
  bool Click(ui::headless::Dialog& frame, int id);
  ui::headless::Dialog* Owner(ui::headless::Dialog& frame, int id);
  // Ends the run before Install: the reason, then Cancel.
  bool Refuse(ui::headless::Dialog& frame, const std::string& option, const std::string& why);
  // A message box shown since `before` is a page's refusal of `option`.
  bool RefusedByBox(ui::headless::Dialog& frame, std::size_t before, const std::string& option);
  int Answer(const ui::ShownMessageBox& box);
  void Log(const std::string& line);
  std::vector<std::string> LocalPrinters() const;
  void RecordNewPrinters();

  const QuietOptions& options_;
  std::ostream* log_;
  ui::headless::Environment env_;
  const CKitsetupDlg* frame_ = nullptr;
  std::string refusal_;           // why the run stopped before Install
  std::string start_up_message_;  // a refusal before the frame
  std::string model_;             // the model the series page took
  std::vector<std::vector<std::string>> models_;
  bool list_only_ = false;
  bool usb_id_kept_ = false;
  Platform* platform_ = nullptr;
  std::vector<std::string> printers_before_;
};

}  // namespace kit::setup::quiet
