// This file is OS-independent.
#include "usbinstall/class_driver.h"

#include <array>
#include <cstdio>

#include "common/exit_codes/exit_codes.h"
#include "platform/default_printer.h"
#include "usbinstall/os_code_bridge.h"
#include "usbinstall/outcome_texts.h"

namespace kit::usbinstall {
namespace {

// The C locale's month names (%B).
constexpr std::array<const char*, 12> kMonthNames = {"January", "February", "March",     "April",
                                                     "May",     "June",     "July",      "August",
                                                     "September", "October", "November", "December"};

void Report(InstallerContext& context, bool silent, std::string_view text, std::uint32_t icon) {
  if (silent) {
    AppendSilentLog(context, text);
  } else {
    context.view.MessageBox(text, kMessageBoxCaption, kBoxOk | icon);
  }
}

}  // namespace

std::string LogTimeStamp(const SystemTime& time) {
  const int month = time.month >= 1 && time.month <= 12 ? time.month - 1 : 0;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%02u:%02u:%02u,%s %02u,%u -- ", unsigned{time.hour},
                unsigned{time.minute}, unsigned{time.second}, kMonthNames[month], unsigned{time.day},
                unsigned{time.year});
  return buffer;
}

WString SilentLogPath(WStringView module_path) {
  WString folder = FolderOf(module_path);
  for (int level = 0; level < 2; ++level) {
    if (folder.find(u'\\') == WString::npos) break;  // at the drive: go no higher
    folder = FolderOf(folder);
  }
  return folder + u"\\" + WString(kSilentLogName.begin(), kSilentLogName.end());
}

void AppendSilentLog(InstallerContext& context, std::string_view text) {
  const std::string line = LogTimeStamp(context.clock.GetLocalTime()) + std::string(text) + "\r\n";
  // Opened for reading and writing without sharing, appended to or created.
  context.files.WriteFile(SilentLogPath(context.system.GetModuleFileName()), Bytes(line.begin(), line.end()),
                          WriteMode::kOpenAlwaysAppend, 0);
}

void MakeDefaultPrinter(InstallerContext& context, std::string_view printer_name) {
  const DefaultPrinterCalls calls{
      context.system, context.spooler, context.shell, [&](WStringView section, WStringView key, WStringView value) {
        return context.profile.WriteProfileString(Ansi(context.system, section), Ansi(context.system, key),
                                                  Ansi(context.system, value));
      }};
  kit::MakeDefaultPrinter(calls, Wide(context.system, printer_name));
}

int RunClassDriverInstall(InstallerContext& context, const CommandLine& command_line) {
  const int os_code = CurrentOsCode(context.system);
  const bool silent = command_line.display_flag == kSilentFlag;
  const unsigned code_page = context.system.GetACP();

  if (!silent) {
    context.view.OpenProgressWindow();
    context.view.SetProgressRange(0, kProgressSteps);
    for (int position = 0; position < kProgressSteps; ++position) {
      context.view.SetProgressPosition(position);
      context.clock.Sleep(kProgressStepMs);
    }
  }

  const WString hardware_id = Wide(context.system, std::string(kHardwareIdPrefix) + command_line.device_id);
  const WString inf_path = Wide(context.system, command_line.inf_path);

  if (os_code == kOsCodeWin8) {
    const WString folder = Wide(context.system, context.program_folder);
    WString destination;
    if (!context.devices.SetupCopyOEMInf(inf_path, folder, kSpostPath, kSpCopyNoOverwrite, &destination)) {
      context.devices.SetupCopyOEMInf(inf_path, folder, kSpostPath, kSpCopyReplaceOnly, &destination);
    }
  }

  bool reboot = false;
  const bool installed =
      context.devices.UpdateDriverForPlugAndPlayDevices(hardware_id, inf_path, kInstallFlagForce, &reboot);
  const win32::Error error = installed ? win32::kErrorSuccess : context.system.GetLastError();

  if (!silent) context.view.CloseProgressWindow();

  const OutcomeTexts texts = OutcomeTextsFor(context.system.GetSystemDefaultLangID());
  if (installed) {
    Report(context, silent, texts.success, kBoxIconInformation);
    const std::string printer = CutAnsi(command_line.printer_name, kPrinterNameCapacity, code_page);
    if (!printer.empty()) MakeDefaultPrinter(context, printer);
    return reboot ? exit_code::kRestartNeeded : exit_code::kDone;
  }
  const std::string system_text = Ansi(context.system, context.system.FormatMessage(error, 0));
  Report(context, silent, FailureText(texts, error, system_text, code_page), kBoxIconError);
  return exit_code::kFailed;
}

}  // namespace kit::usbinstall
