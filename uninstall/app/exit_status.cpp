// This file is OS-independent.
#include "uninstall/app/exit_status.h"

#include <ostream>
#include <string_view>

#include "common/codepage/codepage.h"
#include "common/exit_codes/exit_codes.h"
#include "ui/text.h"

namespace kit::uninstall {

namespace {
constexpr std::string_view kLinePrefix = "Uninstall: ";
}  // namespace

RemovalEnding UninstallEnding(UninstallStart start, const std::string& start_message,
                              const CUninstallPrinterDlg* window) {
  switch (start) {
    case UninstallStart::kAlreadyRunning:
      return {exit_code::kRefused, std::string(kAlreadyRunningLine).substr(kLinePrefix.size())};
    case UninstallStart::kSetupRunning:
      return {exit_code::kRefused, start_message.empty() ? "the printer driver setup is running" : start_message};
    case UninstallStart::kDialogClosed: break;
  }
  if (window == nullptr) return {};
  // The window's texts are in the system's ANSI code page.
  RemovalEnding ending = window->outcome().Ending();
  ending.why = codepage::Utf16ToUtf8(ui::FromAnsi(ending.why));
  return ending;
}

int ReportEnding(const RemovalEnding& ending, std::ostream& err) {
  if (!ending.why.empty()) err << kLinePrefix << ending.why << "\n" << std::flush;
  return ending.status;
}

}  // namespace kit::uninstall
