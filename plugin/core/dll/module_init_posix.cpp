// Load and unload of libVRTQ40UI.so: the constructor and destructor of the
// shared object stand for process attach and detach.
#include <dlfcn.h>

#include "plugin/core/dll/module_entry.h"

namespace {

// The module's own load address stands for its instance handle.
void* ThisModule() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&ThisModule), &info) == 0) return nullptr;
  return info.dli_fbase;
}

__attribute__((constructor)) void AttachToProcess() { kit::plugin::dll::OnProcessAttach(ThisModule(), {}); }
__attribute__((destructor)) void DetachFromProcess() { kit::plugin::dll::OnProcessDetach(); }

}  // namespace
