#include "plugin/core/dll/module_entry.h"

#include <memory>
#include <utility>

#include "plugin/core/com/module_state.h"
#include "plugin/core/language/module_language.h"

namespace kit::plugin::dll {

void OnProcessAttach(void* module, std::u16string system_directory) {
  com::SetModuleHandle(module);
  if (!system_directory.empty()) com::SetSystemDirectory(std::move(system_directory));
}

void OnProcessAttach(void* module, SystemFacts& system, Files& files, Registry& registry) {
  OnProcessAttach(module, system.GetSystemDirectory());
  auto language = std::make_unique<LanguageFiles>(system, files, registry);
  language->SetUp();
  InstallModuleLanguage(std::move(language));
}

void OnProcessDetach() { InstallModuleLanguage(nullptr); }

}  // namespace kit::plugin::dll
