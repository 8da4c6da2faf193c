// The size the kit's monitors give their MONITOR2 table (its cbSize).
#pragma once

#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

namespace kit::monitors {

// Windows 2000's layout ends with Shutdown, and MONITOR2_SIZE_WIN2K counts
// it as a DWORD and 18 pointers: the true size on 32-bit Windows, but 4
// bytes short of Shutdown's end on 64-bit Windows, where the pointers
// after cbSize are aligned to 8. A spooler that copies cbSize bytes of the
// table (Wine's does) then calls a Shutdown cut to its low half. 64-bit
// Windows (XP x64 and later) takes the whole structure, its later members
// left empty.
#ifdef _WIN64
inline constexpr DWORD kMonitorTableSize = sizeof(MONITOR2);
#else
inline constexpr DWORD kMonitorTableSize = MONITOR2_SIZE_WIN2K;
#endif

}  // namespace kit::monitors
