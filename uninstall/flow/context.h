// What every step of the uninstaller works with: the machine, the values
// read when the window opened, the configuration and the message texts.
// This file is OS-independent.
#pragma once

#include <string>

#include "common/codepage/codepage.h"
#include "common/text/uninstall_string.h"
#include "platform/platform.h"
#include "uninstall/config/uninstall_ini.h"

namespace kit::uninstall {

// The caption of the USB driver installer's window, waited for when the
// language file has none: an empty caption would match the untitled windows
// that always exist, and the wait would never end.
inline constexpr char kUsbInstallerCaption[] = "Device driver setup";

struct UninstallContext {
  Platform& platform;
  codepage::CodePage code_page;
  std::string current_directory;  // the kit folder, ANSI
  int os_code = 0;
  bool redirection = false;
  // Whether Winspool.drv exports DeletePrinterDriverExA.
  bool has_delete_driver_ex = true;
  const UninstallIni& ini;
  const CMyString& messages;  // section "Message"
  std::string usb_caption;    // CaptionName of section "Uninstall"

  WString Wide(std::string_view ansi) const { return codepage::AnsiToUtf16(ansi, code_page); }
  std::string Ansi(WStringView text) const { return codepage::Utf16ToAnsi(text, code_page); }
};

}  // namespace kit::uninstall
