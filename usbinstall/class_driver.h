// Action 3: binds a printer model's class-driver package to the print-class
// device Windows created for a USB printer, reports the outcome in the
// system's language (a message box, or a line of the silent log), and can
// make a named printer the default.
// This file is OS-independent.
#pragma once

#include <string>
#include <string_view>

#include "platform/types.h"
#include "usbinstall/command_line.h"
#include "usbinstall/installer_context.h"

namespace kit::usbinstall {

inline constexpr std::string_view kSilentLogName = "Silent_Setup.Log";
inline constexpr std::string_view kHardwareIdPrefix = "USBPRINT\\";
// The display flag that selects the silent mode.
inline constexpr std::string_view kSilentFlag = "1";
// Printer names are kept in a buffer of this many bytes.
inline constexpr std::size_t kPrinterNameCapacity = 200;
// The progress window's bar: 100 steps of 100 ms.
inline constexpr int kProgressSteps = 100;
inline constexpr std::uint32_t kProgressStepMs = 100;
// Each window gets this long to take the setting-change broadcast.
inline constexpr std::uint32_t kBroadcastTimeoutMs = 1000;

// The log's time stamp: "%H:%M:%S,%B %d,%Y -- " with the C locale's month
// names, e.g. "14:03:07,December 06,2026 -- ".
std::string LogTimeStamp(const SystemTime& time);

// The silent log's path: the folder two levels above the executable's own
// folder (never above the drive), and the log's name.
WString SilentLogPath(WStringView module_path);

// Appends one entry to the silent log; errors are not reported.
void AppendSilentLog(InstallerContext& context, std::string_view text);

// Makes `printer_name` the default printer by the means of the platform.
// Any failure ends the step silently.
void MakeDefaultPrinter(InstallerContext& context, std::string_view printer_name);

// Action 3. The kit's exit status: done after the success text (3010 when
// Windows must restart for the driver), failed after the failure text.
int RunClassDriverInstall(InstallerContext& context, const CommandLine& command_line);

}  // namespace kit::usbinstall
