// The Windows entry point of VRTQ40UI.dll. At process attach the module
// prepares the user's language files on the real Windows (system facts,
// files and registry of the platform layer; nothing that loads another
// library, since this runs under the loader lock). The few kernel32 calls of
// its own are declared here rather than through <windows.h>. At process
// detach it gives back what it holds, the pages' activation context among it.
#include <cstdint>
#include <memory>
#include <new>
#include <string>

#include "platform/win32/windows_platform.h"
#include "plugin/core/dll/module_entry.h"
#include "plugin/core/sheets/activation_context_win32.h"
#include "plugin/core/sheets/sheet_handlers.h"

extern "C" {
__declspec(dllimport) int __stdcall DisableThreadLibraryCalls(void* module);
__declspec(dllimport) void* __stdcall LoadCursorW(void* instance, const wchar_t* name);
__declspec(dllimport) void* __stdcall SetCursor(void* cursor);
}

namespace {

constexpr unsigned long kProcessDetach = 0;  // DLL_PROCESS_DETACH
constexpr unsigned long kProcessAttach = 1;  // DLL_PROCESS_ATTACH
constexpr unsigned short kArrowCursor = 32512;  // IDC_ARROW

// The facilities the module keeps for its lifetime.
struct ModuleFacilities {
  std::unique_ptr<kit::SystemFacts> system = kit::win32::MakeSystemFacts();
  std::unique_ptr<kit::Files> files = kit::win32::MakeFiles();
  std::unique_ptr<kit::Registry> registry = kit::win32::MakeRegistry();
  // Makes no spooler call until a sheet uses it (winspool is already mapped
  // as an import of this module).
  std::unique_ptr<kit::Spooler> spooler = kit::win32::MakeSpooler();
  // The Main page starts the log viewer through it.
  std::unique_ptr<kit::Clock> clock = kit::win32::MakeClock();
  std::unique_ptr<kit::Shell> shell = kit::win32::MakeShell(*clock);
};
ModuleFacilities* g_facilities = nullptr;

}  // namespace

extern "C" int __stdcall DllMain(void* module, unsigned long reason, void* /*reserved*/) {
  if (reason == kProcessAttach) {
    DisableThreadLibraryCalls(module);
    g_facilities = new (std::nothrow) ModuleFacilities();
    if (g_facilities != nullptr) {
      kit::plugin::dll::OnProcessAttach(module, *g_facilities->system, *g_facilities->files,
                                        *g_facilities->registry);
      // The device sheet records the printer's port language through it.
      kit::plugin::sheets::SetModuleSpooler(g_facilities->spooler.get());
      kit::plugin::sheets::SetModulePagePlatform(g_facilities->files.get(), g_facilities->shell.get(),
                                                 g_facilities->system.get());
    } else {
      kit::plugin::dll::OnProcessAttach(module, std::u16string());
    }
    // The file copies of the set-up are done: back to the arrow.
    SetCursor(LoadCursorW(nullptr, reinterpret_cast<const wchar_t*>(static_cast<std::uintptr_t>(kArrowCursor))));
  } else if (reason == kProcessDetach) {
    kit::plugin::dll::OnProcessDetach();
    kit::plugin::sheets::SetModuleSpooler(nullptr);
    kit::plugin::sheets::SetModulePagePlatform(nullptr, nullptr, nullptr);
    // The activation context the pages were created in.
    kit::plugin::sheets::ReleaseModuleActivationContext();
    delete g_facilities;
    g_facilities = nullptr;
  }
  return 1;
}
