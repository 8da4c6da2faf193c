// How kitsetup, Uninstall and their unattended runs end: one table for every
// program of the kit, so that a deployment tool reads them alike.
//
//   0     done
//   1     failed; the failure's text is on standard error
//   2     refused before any change: the command line, the licence, a
//         start-up refusal, another setup or uninstaller running, a choice a
//         page refuses
//   3010  done, but Windows must restart (the Windows Installer's code for
//         the same outcome, ERROR_SUCCESS_REBOOT_REQUIRED)
//
// This file is OS-independent.
#pragma once

namespace kit::exit_code {

inline constexpr int kDone = 0;
inline constexpr int kFailed = 1;
inline constexpr int kRefused = 2;
inline constexpr int kRestartNeeded = 3010;

}  // namespace kit::exit_code
