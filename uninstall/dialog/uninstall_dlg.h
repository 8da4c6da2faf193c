// The uninstaller's main window (dialog 102): the family's components with
// check boxes, the USB-driver check box, the log, and the Uninstall, Select
// and Exit buttons. Button 1002 checks for queued jobs and starts the run on
// a worker thread; the worker changes the window only through the dialog's
// thread (it posts a command and waits until the dialog has carried the
// change out). While a run goes on, every way of closing is refused: ending
// between a spooler stop and start would leave the spooler stopped.
// This file is OS-independent.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "platform/profile_file_source.h"
#include "platform/profile_snapshot.h"
#include "uninstall/dialog/small_dialogs.h"
#include "uninstall/flow/uninstall_run.h"
#include "ui/page.h"

namespace kit::uninstall {

inline constexpr int kMainDialogId = 102;
inline constexpr int kNoteId = 1006;
inline constexpr int kComponentListId = 1010;
inline constexpr int kUsbBoxId = 1019;
inline constexpr int kLogId = 1008;
inline constexpr int kUninstallButtonId = 1002;
inline constexpr int kSelectButtonId = 1012;
inline constexpr int kAboutCommand = 16;
// Posted by the worker thread: the dialog runs the waiting change.
inline constexpr int kRunOnDialogThreadCommand = 0x7F01;

inline constexpr char16_t kDefaultTitle[] = u"Uninstall";
inline constexpr char16_t kHelpWindowTitle[] = u"Uninstall";
inline constexpr char16_t kHelpFileEnglish[] = u".\\Uninstall_EN.CHM";
inline constexpr char16_t kHelpFileChinese[] = u".\\Uninstall_CN.CHM";
inline constexpr char kNoWinspool[] = "no Winspool lib  ";
// Section "Message": the log line of a machine that holds nothing of the
// family, written above IDS_SELECTPRN1 when the window opens.
inline constexpr char kNothingFoundKey[] = "IDS_NOCOMPONENT";
// Said when Uninstall.ini is there but Windows will not give it, before its
// path and Windows' text; and the log line of what could not be listed.
inline constexpr char kIniUnreadableText[] = "Cannot read the configuration file ";
inline constexpr char kNotListedLine[] = "Cannot list %s: it stays.";

class CUninstallPrinterDlg final : public ui::Page, private RunView {
 public:
  struct Options {
    Platform* platform = nullptr;
    bool chinese_font = false;
    // Runs the removal on a thread of its own (the Windows program); off,
    // it runs within the button's handler (the console host and tests).
    bool worker_thread = false;
    // Offers the USB driver's removal whenever the driver is installed, with
    // no family printer attached (the quiet run: Install's removal needs no
    // device).
    bool usb_removal_without_printer = false;
  };

  explicit CUninstallPrinterDlg(Options options);
  ~CUninstallPrinterDlg() override;

  const ui::DialogTemplate& Template() const override;
  void OnInit(ui::Window& window) override;
  bool OnCommand(ui::Window& window, int id, ui::Notify code) override;
  bool OnHelp(ui::Window& window) override;
  void OnDestroy(ui::Window& window) override;

  // After OnInit: what was read (null when the window closed at once).
  const UninstallContext* context() const { return context_.get(); }
  const std::vector<Component>& entries() const { return entries_; }
  bool running() const { return running_; }
  // What the presses of Uninstall came to; read once the window has ended.
  const RemovalOutcome& outcome() const { return outcome_; }

 private:
  // RunView, called by the run.
  void Log(const std::string& line) override;
  int EntryCount() override;
  Component Entry(int index) override;
  bool IsEntryTicked(int index) override;
  void DeleteEntry(int index) override;
  bool IsUsbBoxTicked() override;
  void DisableControls() override;
  void EnableControls(bool entries_left, bool usb_box) override;
  bool AskRestart() override;
  void FitLog() override;

  void AddLogLine(const std::string& line);
  void StartRun();
  // Runs `change` on the dialog's thread and returns when it is done.
  void OnDialogThread(const std::function<void()>& change);
  void RunPendingChange();
  std::u16string Text(const char* section_key);
  void MessageBox(const std::string& text);

  Options options_;
  Platform& p_;
  ui::Window* window_ = nullptr;
  PlatformFileSource files_;
  std::unique_ptr<CMyString> messages_, main_texts_, reboot_texts_, about_texts_;
  std::unique_ptr<ProfileSnapshot> ini_snapshot_;  // Uninstall.ini, read once
  std::unique_ptr<UninstallIni> ini_;
  std::unique_ptr<UninstallContext> context_;
  std::vector<Component> entries_;
  TopLevelWindowHandle announced_;
  RemovalOutcome outcome_;
  std::string last_log_line_;  // the run's last line, on the dialog's thread

  std::thread worker_;
  std::thread::id dialog_thread_;
  std::atomic<bool> running_{false};
  // Exit was clicked after the run enabled it but before the run had ended:
  // the dialog ends when it has.
  bool exit_pending_ = false;
  std::mutex mutex_;
  std::condition_variable changed_;
  const std::function<void()>* pending_ = nullptr;
};

}  // namespace kit::uninstall
