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

std::unique_ptr<kit::sim::Machine>& ModuleMachine() {
  static std::unique_ptr<kit::sim::Machine> machine;
  return machine;
}

// The module's own load address stands for its instance handle.
void* ThisModule() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&ThisModule), &info) == 0) return nullptr;
  return info.dli_fbase;
}

__attribute__((constructor)) void AttachToProcess() {
  std::string error;
  ModuleMachine() = kit::sim::Machine::OpenFromEnvironment(&error);
  if (ModuleMachine()) {
    kit::Platform& platform = ModuleMachine()->platform();
    kit::plugin::dll::OnProcessAttach(ThisModule(), platform.system, platform.files, platform.registry);
    // The device sheet records the printer's port language through it.
    kit::plugin::sheets::SetModuleSpooler(&platform.spooler);
  } else {
    kit::plugin::dll::OnProcessAttach(ThisModule(), std::u16string());
  }
}

__attribute__((destructor)) void DetachFromProcess() {
  kit::plugin::sheets::SetModuleSpooler(nullptr);
  kit::plugin::dll::OnProcessDetach();
  ModuleMachine().reset();
}

}  // namespace
