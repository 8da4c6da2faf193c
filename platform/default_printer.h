// Making a printer the default, as the setup wizard and the USB installer do
// it on every Windows: the default attribute on Windows 9x, the profile's
// "windows"/"device" entry before Windows 2000, SetDefaultPrinter (looked up
// in "winspool.drv") from Windows 2000 on; then the change is announced.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/shell.h"
#include "platform/spooler.h"
#include "platform/system.h"

namespace kit {

inline constexpr char16_t kProfileWindowsSection[] = u"windows";
inline constexpr char16_t kProfileDeviceKey[] = u"device";
inline constexpr char16_t kWinspoolLibrary[] = u"winspool.drv";
inline constexpr char kSetDefaultPrinterProc[] = "SetDefaultPrinterA";
inline constexpr std::uint32_t kSettingChangeTimeoutMs = 1000;

struct DefaultPrinterCalls {
  SystemFacts& system;
  Spooler& spooler;
  Shell& shell;
  // WriteProfileString(section, key, value).
  std::function<bool(WStringView, WStringView, WStringView)> write_profile;
};

// False when a step failed (nothing is announced then).
bool MakeDefaultPrinter(const DefaultPrinterCalls& calls, WStringView printer_name);

}  // namespace kit
