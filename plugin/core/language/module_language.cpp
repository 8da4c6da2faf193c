#include "plugin/core/language/module_language.h"

#include <utility>

namespace kit::plugin {
namespace {
// A plain pointer, not an object with a destructor: the module's detach
// (which may run after the module's static objects are gone) releases it.
LanguageFiles*& Storage() {
  static LanguageFiles* language = nullptr;
  return language;
}
}  // namespace

void InstallModuleLanguage(std::unique_ptr<LanguageFiles> language) {
  delete std::exchange(Storage(), language.release());
}
LanguageFiles* ModuleLanguage() { return Storage(); }

}  // namespace kit::plugin
