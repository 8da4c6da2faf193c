#include "plugin/core/language/module_language.h"

#include <utility>

namespace kit::plugin {
namespace {
std::unique_ptr<LanguageFiles>& Storage() {
  static std::unique_ptr<LanguageFiles> language;
  return language;
}
}  // namespace

void InstallModuleLanguage(std::unique_ptr<LanguageFiles> language) { Storage() = std::move(language); }
LanguageFiles* ModuleLanguage() { return Storage().get(); }

}  // namespace kit::plugin
