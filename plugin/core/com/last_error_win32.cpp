// The last error of a thread: the Windows thread's own value, so that the
// host reads it with GetLastError. The two kernel32 functions are declared
// here rather than through <windows.h>, which stays out of the COM surface.
#include "plugin/core/com/last_error.h"

extern "C" {
__declspec(dllimport) void __stdcall SetLastError(unsigned long code);
__declspec(dllimport) unsigned long __stdcall GetLastError(void);
}

namespace kit::plugin::com {

void SetThreadLastError(std::uint32_t code) { ::SetLastError(code); }
std::uint32_t GetThreadLastError() { return static_cast<std::uint32_t>(::GetLastError()); }

}  // namespace kit::plugin::com
