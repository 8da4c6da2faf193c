#include "platform/win32/win32_common.h"

#include <cstdio>
#include <cstdlib>

namespace kit::win32 {

void LogFailure(const char* api, DWORD code, WStringView subject) {
  const DWORD saved = ::GetLastError();
  char line[512];
  const std::string what = ToUtf8(subject);
  if (what.empty()) {
    std::snprintf(line, sizeof line, "kit: %s failed: %lu (0x%08lX)\n", api, static_cast<unsigned long>(code),
                  static_cast<unsigned long>(code));
  } else {
    std::snprintf(line, sizeof line, "kit: %s(%s) failed: %lu (0x%08lX)\n", api, what.c_str(),
                  static_cast<unsigned long>(code), static_cast<unsigned long>(code));
  }
  ::OutputDebugStringA(line);
  if (std::getenv("KIT_PLATFORM_LOG") != nullptr) std::fputs(line, stderr);
  ::SetLastError(saved);
}

DWORD LogLastError(const char* api, WStringView subject) {
  const DWORD code = ::GetLastError();
  LogFailure(api, code, subject);
  return code;
}

}  // namespace kit::win32
