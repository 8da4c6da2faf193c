// The installer's windows: the main window CInfInstallDlg (template 102),
// which runs the action while it initialises and closes itself, its About
// box, and the progress window CProcessDlg (template 131) of the
// printer-class install.
// This file is OS-independent.
#pragma once

#include <functional>
#include <memory>
#include <vector>
#include <ostream>

#include "common/exit_codes/exit_codes.h"
#include "ui/page.h"
#include "usbinstall/command_line.h"
#include "usbinstall/installer_context.h"

namespace kit::usbinstall {

inline constexpr int kMainDialogId = 102;
inline constexpr int kProgressEditId = 1007;
inline constexpr int kInstallButtonId = 1002;
inline constexpr int kAboutDialogId = 100;
inline constexpr int kAboutCommand = 16;
// The program's icon resource: the main window's large and small icons.
inline constexpr int kProgramIconId = 128;
inline constexpr int kProgressDialogId = 131;
inline constexpr int kProgressBarId = 1008;

// Other programs wait for the installer by this caption.
inline constexpr char16_t kMainCaption[] = u"Device driver setup";
inline constexpr char16_t kAboutMenuText[] = u"About Installer(&A)...";
inline constexpr char16_t kAboutCaption[] = u"About Installer";
inline constexpr char16_t kVersionLine[] = u"Installer Version V1.40";
// The pause after the action, before the window closes.
inline constexpr std::uint32_t kClosePauseMs = 2000;

// The progress window: a bar and nothing else.
class CProcessDlg final : public ui::Page {
 public:
  const ui::DialogTemplate& Template() const override;
  void OnInit(ui::Window& window) override { window_ = &window; }
  void OnDestroy(ui::Window&) override { window_ = nullptr; }
  void SetRange(int low, int high);
  void SetPosition(int position);

 private:
  ui::Window* window_ = nullptr;
};

class CAboutInstallerDlg final : public ui::Page {
 public:
  const ui::DialogTemplate& Template() const override;
};

// How the host shows the modeless progress window beside the main window.
class ProgressWindowHost {
 public:
  virtual ~ProgressWindowHost() = default;
  // Creates and shows `page` modeless and always on top; it runs OnInit.
  virtual void Open(ui::Page& page) = 0;
  virtual void Close() = 0;
  // Lets the window repaint while the action keeps the thread busy.
  virtual void Pump() {}
};

// The system services the main window hands to its action.
struct InstallerServices {
  SystemFacts& system;
  Files& files;
  Devices& devices;
  Spooler& spooler;
  Shell& shell;
  Clock& clock;
  UserProfile& profile;
  std::ostream& out;
};

class CInfInstallDlg final : public ui::Page, private InstallerView {
 public:
  CInfInstallDlg(InstallerServices services, CommandLine command_line, ProgressWindowHost& progress_host)
      : services_(services), command_line_(std::move(command_line)), progress_host_(progress_host) {}

  const ui::DialogTemplate& Template() const override;
  void OnInit(ui::Window& window) override;
  bool OnCommand(ui::Window& window, int id, ui::Notify code) override;
  void OnDestroy(ui::Window& window) override;

  // How many times the action ran.
  int ActionRuns() const { return action_runs_; }
  // The last run's exit status (common/exit_codes/exit_codes.h); refused
  // (2) when the action never ran.
  int ExitStatus() const { return exit_status_; }

 private:
  // Runs the action with the driver-warning responder active; false when
  // the setup library is missing and nothing ran.
  bool RunGuardedAction();

  void AppendProgress(std::string_view line) override;
  int MessageBox(std::string_view text, std::string_view caption, std::uint32_t style) override;
  void OpenProgressWindow() override;
  void SetProgressRange(int low, int high) override;
  void SetProgressPosition(int position) override;
  void CloseProgressWindow() override;

  InstallerServices services_;
  CommandLine command_line_;
  ProgressWindowHost& progress_host_;
  ui::Window* window_ = nullptr;
  TopLevelWindowHandle announced_;
  std::string program_folder_;
  CProcessDlg progress_page_;
  bool progress_open_ = false;
  int action_runs_ = 0;
  int exit_status_ = exit_code::kRefused;
};

// The application: parses the command line and runs the main window modally
// through the host's `run_modal`. Returns the window's result; the program
// ends with ExitStatus().
class CInfInstallApp {
 public:
  CInfInstallApp(InstallerServices services, ProgressWindowHost& progress_host)
      : services_(services), progress_host_(progress_host) {}
  int InitInstance(const std::vector<std::string>& arguments, const std::function<int(ui::Page&)>& run_modal);
  int ExitStatus() const { return exit_status_; }

 private:
  InstallerServices services_;
  ProgressWindowHost& progress_host_;
  int exit_status_ = exit_code::kRefused;
};

}  // namespace kit::usbinstall
