// What every action of the USB device-driver installer works with: the
// system facilities it calls, the window it reports to, and the program's
// folder. The installer is an ANSI program: its texts are bytes in the
// system's ANSI code page and are converted only where they meet a
// platform call.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/devices.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "platform/spooler.h"
#include "platform/system.h"

namespace kit::usbinstall {

// Message-box styles the installer uses (the MB_ values of Windows).
inline constexpr std::uint32_t kBoxOk = 0x0;
inline constexpr std::uint32_t kBoxIconError = 0x10;
inline constexpr std::uint32_t kBoxIconInformation = 0x40;

// The caption of the installer's message boxes.
inline constexpr std::string_view kMessageBoxCaption = "Install";

// The installer's window as the actions see it: the progress lines of the
// main window, message boxes, and the progress window of the printer-class
// install. Texts are ANSI bytes.
class InstallerView {
 public:
  virtual ~InstallerView() = default;
  // Appends a line at the caret of the progress edit box (the line carries
  // its own "\r\n").
  virtual void AppendProgress(std::string_view line) = 0;
  // Shows a message box owned by the main window; returns the button id.
  virtual int MessageBox(std::string_view text, std::string_view caption, std::uint32_t style) = 0;
  // The modeless, always-on-top progress window with its bar.
  virtual void OpenProgressWindow() = 0;
  virtual void SetProgressRange(int low, int high) = 0;
  virtual void SetProgressPosition(int position) = 0;
  virtual void CloseProgressWindow() = 0;
};

// The user profile (win.ini on old systems), written when a printer becomes
// the default on Windows NT before version 5.
class UserProfile {
 public:
  virtual ~UserProfile() = default;
  // WriteProfileStringA(section, key, value).
  virtual bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value) = 0;
};

struct InstallerContext {
  SystemFacts& system;
  Files& files;
  Devices& devices;
  Spooler& spooler;
  Shell& shell;
  Clock& clock;
  UserProfile& profile;
  InstallerView& view;
  // Standard output, where the removal walk reports what it could not do.
  std::ostream& out;
  // The folder of the executable, without a trailing backslash (ANSI).
  std::string program_folder;
};

// The installer's OS code (0..9) of the running Windows, from the version
// record the program is shown; 0 when the record cannot be read.
int CurrentOsCode(SystemFacts& system);

// ANSI <-> UTF-16 in the system's ANSI code page.
WString Wide(SystemFacts& system, std::string_view ansi);
std::string Ansi(SystemFacts& system, WStringView wide);

// The folder part of a path: everything before its last backslash (the whole
// text when it has none). Worked out on UTF-16 text, because in the
// double-byte code pages a backslash byte can be the second half of a
// character.
WString FolderOf(WStringView path);

}  // namespace kit::usbinstall
