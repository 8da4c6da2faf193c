#include <windows.h>

#include "tests/plugin/host/plugin_module.h"

namespace kit::plugin::testing {

// The module is copied beside the test program, which loads it from there.
PluginModule::PluginModule() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring module(path, length);
  module = module.substr(0, module.find_last_of(L"\\/") + 1) + L"VRTQ40UI.dll";
  HMODULE library = LoadLibraryW(module.c_str());
  if (library == nullptr) {
    error_ = "LoadLibraryW failed with " + std::to_string(GetLastError());
    return;
  }
  handle_ = library;
  get_class_object_ = reinterpret_cast<DllGetClassObjectFn>(
      reinterpret_cast<void*>(GetProcAddress(library, "DllGetClassObject")));
  can_unload_now_ =
      reinterpret_cast<DllCanUnloadNowFn>(reinterpret_cast<void*>(GetProcAddress(library, "DllCanUnloadNow")));
}

PluginModule::~PluginModule() {
  if (handle_ != nullptr) FreeLibrary(static_cast<HMODULE>(handle_));
}

bool PluginModule::Exports(const char* name) const {
  return handle_ != nullptr && GetProcAddress(static_cast<HMODULE>(handle_), name) != nullptr;
}

bool PluginModule::LastError(std::uint32_t& code) const {
  code = GetLastError();
  return true;
}
void PluginModule::ClearLastError() const { SetLastError(0xDEADBEEF); }

}  // namespace kit::plugin::testing
