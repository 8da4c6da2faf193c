// The main window during a run: the worker thread and the changes it asks
// the dialog's thread to make.
// This file is OS-independent.
#include "uninstall/config/log_text.h"
#include "uninstall/dialog/small_dialogs.h"
#include "uninstall/dialog/uninstall_dlg.h"
#include "ui/text.h"

namespace kit::uninstall {

void CUninstallPrinterDlg::StartRun() {
  UninstallRun check(*context_, *this);
  if (!check.CheckQueuedJobs()) {
    outcome_.Refused(last_log_line_);
    return;
  }
  if (worker_.joinable()) worker_.join();
  running_ = true;
  auto run = [this] {
    const RunResult result = UninstallRun(*context_, *this).Run();
    OnDialogThread([&] { outcome_.Ran(result, last_log_line_); });
    running_ = false;
  };
  if (options_.worker_thread) worker_ = std::thread(run);
  else run();
}

void CUninstallPrinterDlg::OnDialogThread(const std::function<void()>& change) {
  if (std::this_thread::get_id() == dialog_thread_) {
    change();
    return;
  }
  std::unique_lock lock(mutex_);
  pending_ = &change;
  window_->PostCommand(kRunOnDialogThreadCommand);
  changed_.wait(lock, [&] { return pending_ == nullptr; });
}

void CUninstallPrinterDlg::RunPendingChange() {
  std::unique_lock lock(mutex_);
  if (pending_ == nullptr) return;
  const std::function<void()>* change = pending_;
  lock.unlock();
  (*change)();
  lock.lock();
  pending_ = nullptr;
  changed_.notify_all();
}

void CUninstallPrinterDlg::AddLogLine(const std::string& line) {
  const int index = window_->AddItem(kLogId, ui::FromAnsi(line));
  window_->SetSelection(kLogId, index);
}

void CUninstallPrinterDlg::Log(const std::string& line) {
  OnDialogThread([&] {
    last_log_line_ = line;
    AddLogLine(line);
  });
}

int CUninstallPrinterDlg::EntryCount() {
  int count = 0;
  OnDialogThread([&] { count = static_cast<int>(entries_.size()); });
  return count;
}

Component CUninstallPrinterDlg::Entry(int index) {
  Component entry;
  OnDialogThread([&] { entry = entries_.at(index); });
  return entry;
}

bool CUninstallPrinterDlg::IsEntryTicked(int index) {
  bool ticked = false;
  OnDialogThread([&] { ticked = window_->IsItemChecked(kComponentListId, index); });
  return ticked;
}

void CUninstallPrinterDlg::DeleteEntry(int index) {
  OnDialogThread([&] {
    window_->DeleteItem(kComponentListId, index);
    entries_.erase(entries_.begin() + index);
  });
}

bool CUninstallPrinterDlg::IsUsbBoxTicked() {
  bool ticked = false;
  OnDialogThread([&] { ticked = window_->IsChecked(kUsbBoxId); });
  return ticked;
}

void CUninstallPrinterDlg::DisableControls() {
  OnDialogThread([&] {
    for (int id : {kUninstallButtonId, kSelectButtonId, static_cast<int>(ui::kIdCancel), kComponentListId, kUsbBoxId})
      window_->Enable(id, false);
  });
}

void CUninstallPrinterDlg::EnableControls(bool entries_left, bool usb_box) {
  OnDialogThread([&] {
    if (entries_left) {
      AddLogLine(FormatLogText(messages_->Get("IDS_SELECTPRN1"), ""));
      for (int id : {kComponentListId, kUninstallButtonId, kSelectButtonId, static_cast<int>(ui::kIdCancel)})
        window_->Enable(id, true);
      if (usb_box) window_->Enable(kUsbBoxId, true);
    } else {
      window_->Enable(ui::kIdCancel, true);
    }
  });
}

bool CUninstallPrinterDlg::AskRestart() {
  int answer = ui::kIdCancel;
  OnDialogThread([&] {
    CRebootDlg reboot(*reboot_texts_, options_.chinese_font);
    answer = window_->RunModal(reboot);
  });
  return answer == ui::kIdOk;
}

void CUninstallPrinterDlg::FitLog() {
  OnDialogThread([&] {
    window_->FitHorizontalExtent(kLogId);
    window_->SetSelection(kLogId, window_->ItemCount(kLogId) - 1);
  });
}

}  // namespace kit::uninstall
