// Load and unload of libVRTQ40UI.so: the constructor and destructor of the
// shared object stand for process attach and detach. The module runs on the
// virtual machine its host names (KIT_SIM_MACHINE); without one it still
// works, with the built-in English texts and the usual system directory.
#include <dlfcn.h>

#include <memory>
#include <string>

#include "platform/sim/machine.h"
#include "plugin/core/dll/module_entry.h"
#include "plugin/core/sheets/sheet_handlers.h"

namespace {

// The module's machine. A plain pointer: objects with destructors at
// namespace or function scope may already be destroyed when the detach below
// runs at process exit, so the detach releases it itself.
kit::sim::Machine* g_machine = nullptr;

// The module's own load address stands for its instance handle.
void* ThisModule() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&ThisModule), &info) == 0) return nullptr;
  return info.dli_fbase;
}

__attribute__((constructor)) void AttachToProcess() {
  std::string error;
  g_machine = kit::sim::Machine::OpenFromEnvironment(&error).release();
  if (g_machine != nullptr) {
    kit::Platform& platform = g_machine->platform();
    kit::plugin::dll::OnProcessAttach(ThisModule(), platform.system, platform.files, platform.registry);
    // The device sheet records the printer's port language through it.
    kit::plugin::sheets::SetModuleSpooler(&platform.spooler);
    // The pages' forms, jobs, files and program starts.
    kit::plugin::sheets::SetModulePagePlatform(&platform.files, &platform.shell, &platform.system);
  } else {
    kit::plugin::dll::OnProcessAttach(ThisModule(), std::u16string());
  }
}

__attribute__((destructor)) void DetachFromProcess() {
  kit::plugin::sheets::SetModuleSpooler(nullptr);
  kit::plugin::sheets::SetModulePagePlatform(nullptr, nullptr, nullptr);
  kit::plugin::dll::OnProcessDetach();
  delete g_machine;
  g_machine = nullptr;
}

}  // namespace
