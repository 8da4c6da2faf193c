// Load and unload of the Linux rendering modules (libVRTQ40R.so,
// libVRTD45R.so, ...): the module serves the model its file is named after
// and runs on the virtual machine its host names (KIT_SIM_MACHINE), whose
// files, temporary folder and clock the job uses; without one it prints all
// the same, without watermark picture or driver log.
#include <dlfcn.h>

#include <memory>
#include <string>

#include "platform/sim/machine.h"
#include "plugin/render/com/render_module.h"

namespace {

kit::sim::Machine* g_machine = nullptr;

// The file this module was loaded from, as the loader found it.
const kit::print::model::Model* ModelOfThisModule() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&ModelOfThisModule), &info) == 0 || info.dli_fname == nullptr) return nullptr;
  return kit::print::model::FindModelOfRenderModule(info.dli_fname);
}

__attribute__((constructor)) void AttachToProcess() {
  kit::plugin::render_com::RenderModule module;
  module.model = ModelOfThisModule();
  std::string error;
  g_machine = kit::sim::Machine::OpenFromEnvironment(&error).release();
  if (g_machine != nullptr) {
    kit::Platform& platform = g_machine->platform();
    module.files = &platform.files;
    module.system = &platform.system;
    module.clock = &platform.clock;
  }
  kit::plugin::render_com::SetRenderModule(module);
}

__attribute__((destructor)) void DetachFromProcess() {
  kit::plugin::render_com::SetRenderModule({});
  delete g_machine;
  g_machine = nullptr;
}

}  // namespace
