// VRTQ40UI.dll on Windows. At process attach the module prepares the user's
// language files on the real Windows (system facts, files and registry of
// the platform layer). At process detach it gives back what it holds, the
// pages' activation context among it. The few user32 calls of its own are
// declared here rather than through <windows.h>.
#include <cstdint>
#include <memory>
#include <new>
#include <string>

#include "platform/win32/windows_platform.h"
#include "plugin/core/dll/module_entry.h"
#include "plugin/core/sheets/activation_context_win32.h"
#include "plugin/core/sheets/sheet_handlers.h"
#include "plugin/module/module_entry.h"

extern "C" {
__declspec(dllimport) void* __stdcall LoadCursorW(void* instance, const wchar_t* name);
__declspec(dllimport) void* __stdcall SetCursor(void* cursor);
}

namespace {

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

}  // namespace

void* kit::plugin::com_server::AttachModule(void* module) {
  auto* facilities = new (std::nothrow) ModuleFacilities();
  if (facilities != nullptr) {
    dll::OnProcessAttach(module, *facilities->system, *facilities->files, *facilities->registry);
    // The device sheet records the printer's port language through it.
    sheets::SetModuleSpooler(facilities->spooler.get());
    sheets::SetModulePagePlatform(facilities->files.get(), facilities->shell.get(), facilities->system.get());
  } else {
    dll::OnProcessAttach(module, std::u16string());
  }
  // The file copies of the set-up are done: back to the arrow.
  SetCursor(LoadCursorW(nullptr, reinterpret_cast<const wchar_t*>(static_cast<std::uintptr_t>(kArrowCursor))));
  return facilities;
}

void kit::plugin::com_server::DetachModule(void* kept) {
  dll::OnProcessDetach();
  sheets::SetModuleSpooler(nullptr);
  sheets::SetModulePagePlatform(nullptr, nullptr, nullptr);
  // The activation context the pages were created in.
  sheets::ReleaseModuleActivationContext();
  delete static_cast<ModuleFacilities*>(kept);
}
