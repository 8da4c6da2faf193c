// Finding Uninstall.ini: the kit folder is the current directory; the file
// is looked for in it, then in its DRVCONFIG folder.
// This file is OS-independent.
#pragma once

#include <string>
#include <string_view>

#include "common/codepage/codepage.h"
#include "platform/files.h"
#include "platform/system.h"

namespace kit::uninstall {

inline constexpr char kUninstallIniName[] = "Uninstall.ini";
inline constexpr char kConfigFolder[] = "DRVCONFIG";
// GetCurrentDirectoryA's buffer: a folder of 256 characters or more does
// not fit and counts as unreadable.
inline constexpr std::size_t kCurrentDirectoryCapacity = 256;

enum class IniSearch {
  kFound,
  kNoCurrentDirectory,  // IDS_ERR_GETSYSDIR
  kInvalid,             // IDS_ERR_INVALID: a folder cannot be listed
  kNoIni,               // IDS_ERR_NOINI
};

// The message text key for each failed outcome ("" for kFound).
const char* IniSearchMessageKey(IniSearch outcome);

struct IniLocation {
  IniSearch outcome = IniSearch::kNoIni;
  std::string path;  // ANSI, the folder followed by "Uninstall.ini"
};

// The current directory as GetCurrentDirectoryA gives it into its 256-byte
// buffer: empty when it cannot be read or does not fit.
std::string ReadCurrentDirectory(SystemFacts& system, codepage::CodePage code_page);

// Walks the current directory's entries, then DRVCONFIG's, and stops at the
// first entry whose name holds "Uninstall.ini" (a backup copy such as
// "Uninstall.ini.bak" counts: the values are then read from Uninstall.ini
// of that folder, or the defaults). Every entry visited is set to archive
// only, so that files from read-only media can be changed; a failure there
// is ignored.
IniLocation LocateUninstallIni(Files& files, std::string_view current_directory, codepage::CodePage code_page);

}  // namespace kit::uninstall
