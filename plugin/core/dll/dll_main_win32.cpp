// The Windows entry point of VRTQ40UI.dll. The few kernel32 functions it
// needs are declared here rather than through <windows.h>. Until the Win32
// platform is linked in, the module knows its system directory but runs
// without language files (built-in English texts).
#include <string>

#include "plugin/core/dll/module_entry.h"

extern "C" {
__declspec(dllimport) int __stdcall DisableThreadLibraryCalls(void* module);
__declspec(dllimport) unsigned __stdcall GetSystemDirectoryW(wchar_t* buffer, unsigned size);
}

namespace {

constexpr unsigned long kProcessDetach = 0;  // DLL_PROCESS_DETACH
constexpr unsigned long kProcessAttach = 1;  // DLL_PROCESS_ATTACH
constexpr unsigned kPathCapacity = 260;      // MAX_PATH

std::u16string SystemDirectory() {
  wchar_t buffer[kPathCapacity] = {};
  const unsigned length = GetSystemDirectoryW(buffer, kPathCapacity);
  if (length == 0 || length >= kPathCapacity) return {};
  return std::u16string(buffer, buffer + length);
}

}  // namespace

extern "C" int __stdcall DllMain(void* module, unsigned long reason, void* /*reserved*/) {
  if (reason == kProcessAttach) {
    DisableThreadLibraryCalls(module);
    kit::plugin::dll::OnProcessAttach(module, SystemDirectory());
  } else if (reason == kProcessDetach) {
    kit::plugin::dll::OnProcessDetach();
  }
  return 1;
}
