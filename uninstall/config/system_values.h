// The process-wide values the uninstaller reads once when its window opens:
// the OS code and the redirection flag.
// This file is OS-independent.
#pragma once

#include "common/codepage/codepage.h"
#include "platform/system.h"

namespace kit::uninstall {

// GetVersionEx with the extended record and GetNativeSystemInfo (or
// GetSystemInfo where it is missing), classified as the setup wizard does.
int ReadOsCode(SystemFacts& system);

// Whether the program runs on 64-bit Windows: a 32-bit build asks
// IsWow64Process, looked up in kernel32.dll (the full system-folder path,
// else the bare name); a missing export or a failing call answer false. A
// native 64-bit build is on 64-bit Windows by construction.
bool ReadRedirectionFlag(SystemFacts& system);

// The code page the program's ANSI texts are in.
codepage::CodePage AnsiCodePage(SystemFacts& system);

// Whether the dialogs get the shared Chinese font: system default language
// 1028, 2052, 3076 or 4100.
bool UsesChineseFont(unsigned language_id);

}  // namespace kit::uninstall
