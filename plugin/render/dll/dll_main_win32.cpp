// The Windows entry point of VRTQ40R.dll: at process attach the module takes
// the real Windows' files, system facts and clock for its jobs (nothing that
// loads another library: this runs under the loader lock).
#include <memory>
#include <new>

#include "platform/win32/windows_platform.h"
#include "plugin/render/com/render_module.h"

extern "C" {
__declspec(dllimport) int __stdcall DisableThreadLibraryCalls(void* module);
}

namespace {

constexpr unsigned long kProcessDetach = 0;  // DLL_PROCESS_DETACH
constexpr unsigned long kProcessAttach = 1;  // DLL_PROCESS_ATTACH

struct ModuleFacilities {
  std::unique_ptr<kit::SystemFacts> system = kit::win32::MakeSystemFacts();
  std::unique_ptr<kit::Files> files = kit::win32::MakeFiles();
  std::unique_ptr<kit::Clock> clock = kit::win32::MakeClock();
};
ModuleFacilities* g_facilities = nullptr;

}  // namespace

extern "C" int __stdcall DllMain(void* module, unsigned long reason, void* /*reserved*/) {
  if (reason == kProcessAttach) {
    DisableThreadLibraryCalls(module);
    g_facilities = new (std::nothrow) ModuleFacilities();
    if (g_facilities != nullptr) {
      kit::plugin::render_com::SetRenderModule(
          {g_facilities->files.get(), g_facilities->system.get(), g_facilities->clock.get()});
    }
  } else if (reason == kProcessDetach) {
    kit::plugin::render_com::SetRenderModule({});
    delete g_facilities;
    g_facilities = nullptr;
  }
  return 1;
}
