// The language state of the loaded plug-in module: one LanguageFiles shared
// by every sheet of the process, installed at process attach when the
// module has a platform to run on.
// This file is OS-independent.
#pragma once

#include <memory>

#include "plugin/core/language/language_files.h"

namespace kit::plugin {

// Takes over `language` (null removes it).
void InstallModuleLanguage(std::unique_ptr<LanguageFiles> language);
// The module's language state; null when the module runs without a platform
// (then every page shows its built-in English texts).
LanguageFiles* ModuleLanguage();

}  // namespace kit::plugin
