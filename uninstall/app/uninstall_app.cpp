// This file is OS-independent.
#include "uninstall/app/uninstall_app.h"

#include "platform/profile_file_source.h"
#include "platform/win32_errors.h"
#include "uninstall/config/ini_search.h"
#include "uninstall/config/system_values.h"
#include "ui/text.h"

namespace kit::uninstall {

UninstallStart CUninstallPrinterApp::Run() {
  Platform& p = *options_.platform;
  const codepage::CodePage cp = AnsiCodePage(p.system);
  PlatformFileSource files(p.files);
  ini::ProfileOptions profile;
  profile.ansi_code_page = cp;
  const CMyString texts(files, ReadCurrentDirectory(p.system, cp),
                        UninstallLanguageFile(p.system.GetSystemDefaultLangID()), "Uninstall", profile);

  const NamedMutexHandle mutex = p.shell.CreateMutex(kMutexName, true);
  if (mutex && p.system.GetLastError() == win32::kErrorAlreadyExists) {
    // The first instance's window: the Chinese title, or the title its
    // language file gives (English and traditional-Chinese systems).
    WindowHandle first = p.shell.FindWindow(ui::FromAnsi(kOwnTitleChinese));
    if (first == 0) {
      const std::string title = texts.Get("Title");
      first = p.shell.FindWindow(title.empty() ? std::u16string(kDefaultTitle) : ui::FromAnsi(title));
    }
    if (first != 0) {
      p.shell.SetForegroundWindow(first);
      p.shell.ShowWindow(first, kSwRestore);
    }
    return UninstallStart::kAlreadyRunning;
  }
  if (p.shell.FindWindow(ui::FromAnsi(kSetupTitleChinese)) != 0 || p.shell.FindWindow(ui::FromAnsi(kSetupTitle)) != 0) {
    options_.host.message_box(ui::FromAnsi(texts.Get("Close")), kDefaultTitle);
    return UninstallStart::kSetupRunning;
  }
  CUninstallPrinterDlg::Options dialog;
  dialog.platform = &p;
  dialog.chinese_font = UsesChineseFont(p.system.GetSystemDefaultLangID());
  dialog.worker_thread = options_.worker_thread;
  dialog.usb_removal_without_printer = options_.usb_removal_without_printer;
  dialog_ = std::make_unique<CUninstallPrinterDlg>(dialog);
  options_.host.run_modal(*dialog_);
  return UninstallStart::kDialogClosed;
}

}  // namespace kit::uninstall
