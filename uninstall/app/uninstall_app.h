// The uninstaller's application object: one instance at a time (a second
// start brings the first window forward), no start while the setup wizard
// runs, then the main window, modally; the program ends when it closes.
// This file is OS-independent.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "platform/platform.h"
#include "uninstall/dialog/uninstall_dlg.h"

namespace kit::uninstall {

inline constexpr char16_t kMutexName[] = u"Uninstall";
// Window titles, in code page 936 as the program holds them: its own
// Chinese title and the setup wizard's two.
inline constexpr char kOwnTitleChinese[] = "\xB4\xF2\xD3\xA1\xBB\xFA\xD0\xB6\xD4\xD8\xB3\xCC\xD0\xF2";
inline constexpr char kSetupTitleChinese[] = "\xB4\xF2\xD3\xA1\xBB\xFA\xC7\xFD\xB6\xAF\xB0\xB2\xD7\xB0\xB3\xCC\xD0\xF2";
inline constexpr char kSetupTitle[] = "Printer Driver Setup";

struct UninstallAppHost {
  std::function<void(std::u16string_view text, std::u16string_view caption)> message_box;
  std::function<int(ui::Page& dialog)> run_modal;
};

enum class UninstallStart { kDialogClosed, kAlreadyRunning, kSetupRunning };

class CUninstallPrinterApp {
 public:
  struct Options {
    Platform* platform = nullptr;
    UninstallAppHost host;
    bool worker_thread = false;
    bool usb_removal_without_printer = false;  // CUninstallPrinterDlg::Options
  };
  explicit CUninstallPrinterApp(Options options) : options_(std::move(options)) {}

  UninstallStart Run();
  // After Run: the main window, while the application object lives.
  const CUninstallPrinterDlg* dialog() const { return dialog_.get(); }

 private:
  Options options_;
  std::unique_ptr<CUninstallPrinterDlg> dialog_;
};

}  // namespace kit::uninstall
