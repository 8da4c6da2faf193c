#include "plugin/core/com/module_state.h"

#include <utility>

namespace kit::plugin::com {
namespace {

void* g_module = nullptr;

// Until process attach says otherwise, the usual system directory.
std::u16string& SystemDirectoryStorage() {
  static std::u16string directory = u"C:\\Windows\\system32";
  return directory;
}

}  // namespace

void SetModuleHandle(void* module) { g_module = module; }
void* ModuleHandle() { return g_module; }

void SetSystemDirectory(std::u16string directory) { SystemDirectoryStorage() = std::move(directory); }
const std::u16string& SystemDirectory() { return SystemDirectoryStorage(); }

}  // namespace kit::plugin::com
