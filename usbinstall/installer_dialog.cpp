// This file is OS-independent.
#include "usbinstall/installer_dialog.h"

#include "ui/text.h"
#include "usbinstall/driver_warning.h"
#include "usbinstall/run_action.h"

namespace kit::usbinstall {
namespace {

ui::DialogTemplate MainTemplate() {
  using namespace ui;
  DialogTemplate t;
  t.id = kMainDialogId;
  t.caption = kMainCaption;
  t.cx = 250;
  t.cy = 108;
  t.kind = DialogKind::kPopup;
  t.controls = {
      {kProgressEditId, ControlKind::kEdit, u"", {15, 14, 219, 72},
       kMultiLine | kReadOnly | kAutoVScroll | kWantReturn | kBorder},
      {kInstallButtonId, ControlKind::kPushButton, u"Install", {29, 89, 50, 14}, kHidden | kTabStop},
      {kIdCancel, ControlKind::kPushButton, u"Cancel", {164, 89, 50, 14}, kHidden | kDefault | kTabStop},
  };
  return t;
}

ui::DialogTemplate ProgressTemplate() {
  using namespace ui;
  DialogTemplate t;
  t.id = kProgressDialogId;
  t.cx = 253;
  t.cy = 40;
  t.kind = DialogKind::kPlain;
  t.controls = {{kProgressBarId, ControlKind::kProgressBar, u"", {13, 14, 220, 13}, kNone}};
  return t;
}

ui::DialogTemplate AboutTemplate() {
  using namespace ui;
  DialogTemplate t;
  t.id = kAboutDialogId;
  t.caption = kAboutCaption;
  t.cx = 180;
  t.cy = 50;
  t.kind = DialogKind::kPopup;
  t.controls = {
      {kIdStatic, ControlKind::kIcon, u"", {10, 10, 21, 20}, kNone, 0, 0, kProgramIconId},
      {kIdStatic, ControlKind::kStatic, kVersionLine, {40, 14, 130, 8}, kNone},
      {kIdOk, ControlKind::kPushButton, u"OK", {120, 28, 50, 14}, kDefault | kGroup | kTabStop},
  };
  return t;
}

}  // namespace

const ui::DialogTemplate& CProcessDlg::Template() const {
  static const ui::DialogTemplate t = ProgressTemplate();
  return t;
}

void CProcessDlg::SetRange(int low, int high) {
  if (window_) window_->SetRange(kProgressBarId, low, high);
}

void CProcessDlg::SetPosition(int position) {
  if (window_) window_->SetPosition(kProgressBarId, position);
}

const ui::DialogTemplate& CAboutInstallerDlg::Template() const {
  static const ui::DialogTemplate t = AboutTemplate();
  return t;
}

const ui::DialogTemplate& CInfInstallDlg::Template() const {
  static const ui::DialogTemplate t = MainTemplate();
  return t;
}

void CInfInstallDlg::OnInit(ui::Window& window) {
  window_ = &window;
  window.AddSystemMenuItem(kAboutCommand, kAboutMenuText);
  window.SetIcon(kProgramIconId);
  // Makes the window known by its caption to programs that wait for it.
  announced_ = services_.shell.AnnounceWindow(kMainCaption);
  program_folder_ = Ansi(services_.system, FolderOf(services_.system.GetModuleFileName()));

  if (!RunGuardedAction()) {
    window.EndDialog(ui::kIdCancel);
    return;
  }
  services_.clock.Sleep(kClosePauseMs);
  window.EndDialog(ui::kIdOk);
}

bool CInfInstallDlg::OnCommand(ui::Window& window, int id, ui::Notify code) {
  if (id == kAboutCommand && code == ui::Notify::kMenu) {
    CAboutInstallerDlg about;
    window.RunModal(about);
    return true;
  }
  if (id == kInstallButtonId && code == ui::Notify::kClicked) {
    RunGuardedAction();
    return true;
  }
  return false;  // Cancel closes the window
}

void CInfInstallDlg::OnDestroy(ui::Window&) {
  CloseProgressWindow();
  announced_.reset();
  window_ = nullptr;
}

bool CInfInstallDlg::RunGuardedAction() {
  const auto responder = StartDriverWarningResponder(services_.system);
  if (!responder) return false;
  InstallerContext context{services_.system, services_.files, services_.devices, services_.spooler,
                           services_.shell,  services_.clock, services_.profile, *this,
                           services_.out,    program_folder_};
  ++action_runs_;
  exit_status_ = RunAction(context, command_line_);
  return true;
}

void CInfInstallDlg::AppendProgress(std::string_view line) {
  if (window_) window_->AppendText(kProgressEditId, ui::FromAnsi(line));
}

int CInfInstallDlg::MessageBox(std::string_view text, std::string_view caption, std::uint32_t style) {
  if (!window_) return ui::kIdOk;
  return window_->MessageBox(ui::FromAnsi(text), ui::FromAnsi(caption), style);
}

void CInfInstallDlg::OpenProgressWindow() {
  if (progress_open_) return;
  progress_host_.Open(progress_page_);
  progress_open_ = true;
}

void CInfInstallDlg::SetProgressRange(int low, int high) {
  progress_page_.SetRange(low, high);
  progress_host_.Pump();
}

void CInfInstallDlg::SetProgressPosition(int position) {
  progress_page_.SetPosition(position);
  progress_host_.Pump();
}

void CInfInstallDlg::CloseProgressWindow() {
  if (!progress_open_) return;
  progress_host_.Close();
  progress_open_ = false;
}

int CInfInstallApp::InitInstance(const std::vector<std::string>& arguments,
                                 const std::function<int(ui::Page&)>& run_modal) {
  CInfInstallDlg dialog(services_, ParseCommandLine(arguments), progress_host_);
  const int result = run_modal(dialog);
  exit_status_ = dialog.ExitStatus();
  return result;
}

}  // namespace kit::usbinstall
