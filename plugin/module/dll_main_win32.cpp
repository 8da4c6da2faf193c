// The Windows entry point of each plug-in module (compiled into the module
// by kit_com_module): thread notifications off, then the module's own
// attach and detach (module_entry.h). The few kernel32 calls of its own are
// declared here rather than through <windows.h>.
#include "plugin/module/module_entry.h"

extern "C" {
__declspec(dllimport) int __stdcall DisableThreadLibraryCalls(void* module);
}

namespace {

constexpr unsigned long kProcessDetach = 0;  // DLL_PROCESS_DETACH
constexpr unsigned long kProcessAttach = 1;  // DLL_PROCESS_ATTACH

void* g_kept = nullptr;

}  // namespace

extern "C" int __stdcall DllMain(void* module, unsigned long reason, void* /*reserved*/) {
  if (reason == kProcessAttach) {
    DisableThreadLibraryCalls(module);
    g_kept = kit::plugin::com_server::AttachModule(module);
  } else if (reason == kProcessDetach) {
    kit::plugin::com_server::DetachModule(g_kept);
    g_kept = nullptr;
  }
  return 1;
}
