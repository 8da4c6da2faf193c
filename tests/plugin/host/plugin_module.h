// Loads the built plug-in module the way a host does and finds its two
// exports: dlopen/dlsym natively, LoadLibraryW/GetProcAddress on Windows.
#pragma once

#include <string>

#include "plugin/core/com/host_types.h"

namespace kit::plugin::testing {

using DllGetClassObjectFn = com::HRESULT(KIT_STDCALL*)(const com::GUID*, const com::GUID*, void**);
using DllCanUnloadNowFn = com::HRESULT(KIT_STDCALL*)();

class PluginModule {
 public:
  // Loads the module; `error` says why when it fails.
  PluginModule();
  ~PluginModule();
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  bool loaded() const { return handle_ != nullptr; }
  const std::string& error() const { return error_; }
  DllGetClassObjectFn get_class_object() const { return get_class_object_; }
  DllCanUnloadNowFn can_unload_now() const { return can_unload_now_; }
  // Whether the module exports a symbol of this name.
  bool Exports(const char* name) const;
  // The thread's last error as the module set it (the Windows thread value);
  // false where the module keeps it to itself.
  bool LastError(std::uint32_t& code) const;
  void ClearLastError() const;

 private:
  void* handle_ = nullptr;
  std::string error_;
  DllGetClassObjectFn get_class_object_ = nullptr;
  DllCanUnloadNowFn can_unload_now_ = nullptr;
};

}  // namespace kit::plugin::testing
