#include <dlfcn.h>

#include "tests/plugin/host/plugin_module.h"

namespace kit::plugin::testing {

PluginModule::PluginModule() {
  handle_ = dlopen(KIT_PLUGIN_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    error_ = dlerror();
    return;
  }
  get_class_object_ = reinterpret_cast<DllGetClassObjectFn>(dlsym(handle_, "DllGetClassObject"));
  can_unload_now_ = reinterpret_cast<DllCanUnloadNowFn>(dlsym(handle_, "DllCanUnloadNow"));
}

PluginModule::~PluginModule() {
  if (handle_ != nullptr) dlclose(handle_);
}

bool PluginModule::Exports(const char* name) const { return handle_ != nullptr && dlsym(handle_, name) != nullptr; }

bool PluginModule::LastError(std::uint32_t&) const { return false; }
void PluginModule::ClearLastError() const {}

}  // namespace kit::plugin::testing
