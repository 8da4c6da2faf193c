// The two functions the plug-in module exports by name for COM.
// This file is OS-independent.
#pragma once

#include "plugin/core/com/host_types.h"

#if defined(_WIN32)
#define KIT_PLUGIN_EXPORT  // exported by the module definition file
#else
#define KIT_PLUGIN_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

// Hands out the class factory of the plug-in object. A class id other than
// the plug-in's gives CLASS_E_CLASSNOTAVAILABLE and leaves *ppv untouched.
KIT_PLUGIN_EXPORT kit::plugin::com::HRESULT KIT_STDCALL DllGetClassObject(const kit::plugin::com::GUID* rclsid,
                                                                          const kit::plugin::com::GUID* riid,
                                                                          void** ppv);

// S_FALSE while plug-in objects live or the server is locked, else S_OK.
KIT_PLUGIN_EXPORT kit::plugin::com::HRESULT KIT_STDCALL DllCanUnloadNow();
}
