// OS codes: the small integers by which the setup wizard, the uninstaller and
// the USB driver installer tell Windows versions apart, and the INI section
// suffixes chosen by them. All classifications are pure functions of the
// version record.
// This file is OS-independent.
#pragma once

#include <string_view>

#include "common/oscode/os_version.h"

namespace kit {

// Codes shared by the setup wizard, the uninstaller and the USB installer.
enum OsCode : int {
  kOsWin9x = 0,       // also every version the kit does not know
  kOsNt4 = 1,
  kOsWin2000 = 2,
  kOsXp = 3,          // also XP x64 (5.2 workstation on AMD64)
  kOsServer2003 = 4,
  kOsVista = 5,
  kOsServer2008 = 6,  // also 2008 R2
  kOsWin7 = 7,        // Windows 7 and later
};

// Codes the USB driver installer adds above kOsWin7.
inline constexpr int kInstallOsWin8 = 8;   // version 6.2, also any later Windows that reports 6.2
inline constexpr int kInstallOsWin81 = 9;  // version 6.3 and later

// Display codes of the setup wizard's OS page above kOsWin7; they are stored
// as kOsWin7 (StoredOsCode).
inline constexpr int kDisplayWin8 = 8;           // "Windows 8(Windows 8.1)"
inline constexpr int kDisplayServer2012 = 9;     // "Windows Server 2012"

// False for a platform that is neither Windows 9x nor NT (Win32s); the setup
// wizard then tells the user "IDS_ERR_SYSTEM" and goes on with code 0.
bool IsKnownPlatform(const OsVersion& v);

// The OS code of the setup wizard and of the uninstaller (0..7).
OsCode ClassifyOs(const OsVersion& v);

// The USB driver installer's code: ClassifyOs, except that version 6.2 gives
// kInstallOsWin8 and 6.3 or any later version gives kInstallOsWin81.
int InstallOsCode(const OsVersion& v);

// What the setup wizard's OS page shows: whether one of its version buttons
// applies, and the display code (0..9).
struct OsPageDisplay {
  bool has_button = false;
  int display_code = kOsWin9x;
};
OsPageDisplay ClassifyOsForPage(const OsVersion& v);

// The OS code kept for a display code: codes above kOsWin7 become kOsWin7.
OsCode StoredOsCode(int display_code);

// Section suffix of the setup wizard for an OS code: the model section is the
// model name followed by it ("%s.XP"), the monitor section "COMMON-MONITOR"
// followed by it. Empty for a code outside 0..7.
std::string_view SetupSectionSuffix(int os_code);

// Section suffix of the uninstaller for an OS code (2 and 3 share ".2K").
// Empty for a code outside 0..7.
std::string_view UninstallSectionSuffix(int os_code);

}  // namespace kit
