// What every step of the driver install works with: the platform, the
// wizard's texts, the package folder, the Windows it runs on, and the one
// error text the steps share with the frame. The wizard is an ANSI program:
// names and texts are bytes in the system's ANSI code page and become
// UTF-16 only where they meet a platform call.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/oscode/os_code.h"
#include "platform/platform.h"
#include "setup/about/language_texts.h"

namespace kit::setup {

// The line break between a step's own text and the system's text.
inline constexpr std::string_view kLineBreak = "\n";
// The section of the language file that holds the install texts.
inline constexpr std::string_view kMessageSection = "Message";

// HKLM access of every key the wizard opens: read, write and the 64-bit view
// on 64-bit Windows, all access otherwise.
inline constexpr std::uint32_t kSetupKeyAccess64 = kKeyReadWrite64;
inline constexpr std::uint32_t kSetupKeyAccess32 = kKeyAllAccess;

struct EngineContext {
  EngineContext(Platform& platform_in, const LanguageTexts& texts_in, std::string package_folder_in, int os_code_in,
                bool is_64bit_in)
      : platform(platform_in),
        texts(texts_in),
        package_folder(std::move(package_folder_in)),
        os_code(os_code_in),
        is_64bit(is_64bit_in) {}

  Platform& platform;
  const LanguageTexts& texts;
  std::string package_folder;  // without trailing backslash
  int os_code = 0;
  bool is_64bit = false;       // the 64-bit flag: running on 64-bit Windows

  // The first failure's text; empty while every step succeeded.
  std::string error_text;

  // The Unidrv files are extracted from the system's cabinets once in a
  // process; later calls reuse the outcome.
  enum class Extraction { kNotTried, kDone, kFailed };
  Extraction extraction = Extraction::kNotTried;
  // The install's start has started Install "2" for the USB printer driver.
  bool usb_driver_started = false;
  // The id the connected USB printer answered when the install's start
  // compared it with the chosen port (-1: none was read).
  int printer_usb_id = -1;
  // The printer the install kept instead of adding one (empty otherwise).
  std::string kept_printer;

  std::uint32_t KeyAccess() const { return is_64bit ? kSetupKeyAccess64 : kSetupKeyAccess32; }
  // The spooler environment the kit installs for: "Windows 4.0" on Windows
  // 9x, "Windows x64" on 64-bit Windows, "Windows NT x86" otherwise. Every
  // spooler call names it: a null environment is the caller's own, and the
  // 32-bit wizard on 64-bit Windows would get the 32-bit driver folder and
  // register the 64-bit driver files as a 32-bit driver.
  WString Environment() const {
    if (os_code == kOsWin9x) return kEnvironmentWin40;
    return is_64bit ? kEnvironmentX64 : kEnvironmentNtX86;
  }
  // "Message"/key of the language file.
  std::string Message(std::string_view key) const { return texts.Get(kMessageSection, key); }
  // The system's text for an error code, without its trailing line break.
  std::string SystemText(win32::Error code) const;
  // The system's text for the thread's last error.
  std::string LastErrorText() const { return SystemText(platform.system.GetLastError()); }
  // Sets the error text unless one is there already: the first failure's
  // text is the one the user sees.
  void Fail(std::string text) {
    if (error_text.empty()) error_text = std::move(text);
  }
  bool failed() const { return !error_text.empty(); }

  WString Wide(std::string_view ansi) const;
  std::string Ansi(WStringView wide) const;
};

}  // namespace kit::setup
