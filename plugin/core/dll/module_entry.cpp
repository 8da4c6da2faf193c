#include "plugin/core/dll/module_entry.h"

#include <utility>

#include "plugin/core/com/module_state.h"

namespace kit::plugin::dll {

void OnProcessAttach(void* module, std::u16string system_directory) {
  com::SetModuleHandle(module);
  if (!system_directory.empty()) com::SetSystemDirectory(std::move(system_directory));
}

void OnProcessDetach() {}

}  // namespace kit::plugin::dll
