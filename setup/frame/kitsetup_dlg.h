// The wizard frame (dialog 102): the left picture band, the page area, and
// Back, Next/Install and Cancel. It hosts the five pages, moves between
// them with the checks that belong to each step, and gathers the install
// request when Install is pressed. This file is OS-independent.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "platform/platform.h"
#include "setup/install/install_start.h"

#include "setup/frame/install_request.h"
#include "setup/pages/confirm_page.h"
#include "setup/pages/legal_page.h"
#include "setup/pages/mode_page.h"
#include "setup/pages/series_page.h"
#include "setup/pages/system_page.h"
#include "ui/bitmap.h"

namespace kit::setup {

inline constexpr int kFrameDialogId = 102;
inline constexpr char16_t kFrameTitle[] = u"Printer Driver Setup";
inline constexpr char16_t kFrameTitleChinese[] = u"\u6253\u5370\u673A\u9A71\u52A8\u5B89\u88C5\u7A0B\u5E8F";
inline constexpr int kLeftBandId = 1087;
inline constexpr int kPageAreaId = 1001;
inline constexpr int kBackId = 1002;
inline constexpr int kHelpHintId = 1093;
// System-menu commands 16..31 open the About box; the menu item uses 16.
inline constexpr int kAboutCommand = 16;
inline constexpr int kAboutCommandLast = 31;
inline constexpr char kLeftBitmapFile[] = "DRVCONFIG\\Left.bmp";
// The program's icon resource: the frame's large and small icons.
inline constexpr int kProgramIconId = 128;

// Page-table indices.
enum WizardPageIndex : int { kLegalPage = 0, kSeriesPage = 1, kModePage = 2, kSystemPage = 3, kConfirmPage = 4 };

// The tool the kit runs after every install, and its parameter.
inline constexpr char kRegUtilityProgram[] = "RegUtility\\Regutility.exe";
inline constexpr char16_t kRegUtilityParameters[] = u"999";

// What the frame needs to install: the platform, how the progress dialog
// runs (a modal dialog without owner: Windows hides one owned by the
// minimised frame), and the USB hand-off.
struct InstallHost {
  Platform* platform = nullptr;
  std::function<int(ui::Page& progress)> run_progress;
  UsbInstallHooks* usb = nullptr;  // null: a USB port takes the normal install
  bool keep_existing_printer = false;  // AppHost::keep_existing_printer
};

struct WizardPages {
  CLegalDlg& legal;
  CPrinterSeries& series;
  CSetupModeSelect& mode;
  CSystemPage& system;
  CSetupConfirm& confirm;
};

class CKitsetupDlg final : public ui::Page, public FrameLink {
 public:
  // `load_licence`: LOADLICENSE is non-zero.
  CKitsetupDlg(const WizardContext& context, WizardPages pages, bool load_licence);

  const ui::DialogTemplate& Template() const override;
  void OnInit(ui::Window& window) override;
  bool OnCommand(ui::Window& window, int id, ui::Notify code) override;
  bool OnHelp(ui::Window& window) override;
  void OnDestroy(ui::Window& window) override;

  void SetInstallHost(InstallHost host) { install_host_ = std::move(host); }

  void EnableNext(bool enabled) override;
  void CancelFrame() override;

  // The page switch; false when the current page refused or a support check
  // kept the wizard on the OS page.
  bool ShowPage(int index);

  int current_page() const { return current_; }
  bool install_requested() const { return install_requested_; }
  // Whether an install ran to its end without failing.
  bool install_finished() const { return install_finished_; }
  // Whether the install worker ran (the system may have changed since).
  bool worker_started() const { return worker_started_; }
  // Whether the last Install press failed before the worker: the
  // configuration could not be read, or the start had changed the system
  // before it stopped (its boxes say what is left).
  bool start_failed() const { return start_failed_; }
  // Whether the class-printer route handed the install to Install.
  bool handed_to_installer() const { return handed_to_installer_; }
  // Whether the restart question after an install was answered No.
  bool restart_declined() const { return restart_declined_; }
  const InstallRequest& install_request() const { return request_; }
  // The id the USB printer answered at the last Install press (-1: none).
  int printer_usb_id() const { return printer_usb_id_; }
  // The printer a finished install kept instead of adding one (empty when
  // it added one).
  const std::string& kept_printer() const { return kept_printer_; }

 private:
  void OnNext();
  void OnBack();
  void OnInstall();
  // Install start after the request is built: the checks, the worker with
  // the progress dialog, the final message, the post-install tool.
  void RunInstall();
  void FinishInstall(const EngineContext& engine, int state);
  bool LeaveSystemPageForward();
  void GatherForPortPage();
  int LastPage() const { return static_cast<int>(pages_.size()) - 1; }

  const WizardContext& ctx_;
  WizardPages typed_;
  std::vector<WizardPage*> pages_;
  std::vector<ui::Window*> windows_;
  bool load_licence_;
  int current_ = -1;
  bool navigating_back_ = false;
  bool install_requested_ = false;
  bool install_finished_ = false;
  bool worker_started_ = false;
  bool handed_to_installer_ = false;
  bool start_failed_ = false;
  bool restart_declined_ = false;
  InstallRequest request_;
  std::string kept_printer_;
  int printer_usb_id_ = -1;
  ui::Window* window_ = nullptr;
  TopLevelWindowHandle announced_;
  InstallHost install_host_;
};

}  // namespace kit::setup
