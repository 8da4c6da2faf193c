// Load and unload of libVRTQ40R.so: the module runs on the virtual machine
// its host names (KIT_SIM_MACHINE), whose files, temporary folder and clock
// the job uses; without one it prints all the same, without watermark
// picture or driver log.
#include <memory>
#include <string>

#include "platform/sim/machine.h"
#include "plugin/render/com/render_module.h"

namespace {

kit::sim::Machine* g_machine = nullptr;

__attribute__((constructor)) void AttachToProcess() {
  std::string error;
  g_machine = kit::sim::Machine::OpenFromEnvironment(&error).release();
  if (g_machine == nullptr) return;
  kit::Platform& platform = g_machine->platform();
  kit::plugin::render_com::SetRenderModule({&platform.files, &platform.system, &platform.clock});
}

__attribute__((destructor)) void DetachFromProcess() {
  kit::plugin::render_com::SetRenderModule({});
  delete g_machine;
  g_machine = nullptr;
}

}  // namespace
