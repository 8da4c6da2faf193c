// The frame's part of Install: from the finished install request to the
// closing frame. The worker runs on a thread of its own while the progress
// dialog runs modally here; they share the error text and the atomic
// progress state only, and the text is read after the worker ended.
#include <atomic>
#include <thread>

#include "common/oscode/os_code.h"
#include "setup/frame/kitsetup_dlg.h"
#include "setup/install/install_worker.h"
#include "setup/progress/progress_dialog.h"
#include "ui/message_box.h"
#include "ui/text.h"

namespace kit::setup {
namespace {

// The wizard's message boxes, owned by the frame.
class FramePrompts final : public InstallPrompts {
 public:
  FramePrompts(const WizardContext& ctx, ui::Window& window) : ctx_(ctx), window_(window) {}
  void Message(std::string_view key) override { ctx_.Message(window_, key); }
  void Notice(std::string_view text) override { ctx_.Notice(window_, text); }
  bool Ask(std::string_view key) override { return ctx_.Ask(window_, key); }
  void ErrorBox(std::string_view text) override {
    window_.MessageBox(ui::FromAnsi(text), ui::FromAnsi(kErrorBoxCaption), ui::kMbIconInformation);
  }

 private:
  const WizardContext& ctx_;
  ui::Window& window_;
};

}  // namespace

void CKitsetupDlg::RunInstall() {
  if (install_host_.platform == nullptr || window_ == nullptr) return;
  EngineContext engine(*install_host_.platform, ctx_.texts, ctx_.package_folder, request_.os_code, ctx_.is_64bit);
  FramePrompts prompts(ctx_, *window_);
  DirectUsbInstall direct;
  UsbInstallHooks& usb = install_host_.usb != nullptr ? *install_host_.usb : direct;
  InstallPlan plan;
  start_failed_ = false;
  const StartOutcome start = PrepareInstall(engine, ctx_.inf, request_, prompts, usb, &plan);
  printer_usb_id_ = engine.printer_usb_id;
  switch (start) {
    case StartOutcome::kRefused: return;
    case StartOutcome::kFailed:
      start_failed_ = true;
      return;
    case StartOutcome::kWizardEnds:
      handed_to_installer_ = true;
      CancelFrame();
      return;
    case StartOutcome::kRunWorker: break;
  }
  plan.keep_existing_printer = install_host_.keep_existing_printer;

  window_->Minimize();
  std::atomic<int> state{kProgressRunning};
  worker_started_ = true;
  ProgressDialog progress(ctx_.texts, state);
  std::thread worker([&] { InstallWorker(engine, plan, &state); });
  if (install_host_.run_progress) {
    install_host_.run_progress(progress);
  } else {
    window_->RunModal(progress);
  }
  worker.join();
  FinishInstall(engine, state.load());
}

void CKitsetupDlg::FinishInstall(const EngineContext& engine, int state) {
  install_finished_ = state == kProgressDone;
  kept_printer_ = install_finished_ ? engine.kept_printer : std::string();
  // The message follows the outcome: a failed install never shows the
  // success text, even without a text of its own.
  std::string text = engine.error_text;
  if (text.empty()) text = engine.Message(state == kProgressDone ? "IDS_INF_NTRESTART" : "IDS_ERR_ADDPRNDRV3");
  window_->MessageBox(ui::FromAnsi(text), kMessageCaption,
                      state == kProgressDone ? ui::kMbIconInformation : ui::kMbIconError);

  Platform& platform = *install_host_.platform;
  if (request_.os_code == kOsWin9x) {
    if (ctx_.Message(*window_, "IDS_INF_RESTART", ui::kMbYesNo | ui::kMbIconQuestion) != ui::kIdYes) {
      restart_declined_ = true;
    } else if (!platform.shell.ExitWindowsEx(kEwxReboot, 0)) {
      // Said before anything else happens, so that the user learns of it.
      ctx_.Message(*window_, "IDS_ERR_EXITWIN");
      restart_declined_ = true;
    }
  }

  ShellExecuteRequest tool;
  tool.file = ui::FromAnsi(ctx_.package_folder + "\\" + kRegUtilityProgram);
  tool.parameters = kRegUtilityParameters;
  tool.show_command = kSwShowNormal;
  platform.shell.ShellExecute(tool);
  window_->EndDialog(ui::kIdOk);
}

}  // namespace kit::setup
