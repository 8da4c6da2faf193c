#include "plugin/core/com/exports.h"

#include "plugin/core/com/module_state.h"
#include "plugin/core/com/oem_ui_object.h"

using namespace kit::plugin::com;

extern "C" HRESULT KIT_STDCALL DllGetClassObject(const GUID* rclsid, const GUID* riid, void** ppv) {
  if (rclsid == nullptr || !(*rclsid == kClsidOemUi)) return kClassEClassNotAvailable;
  ClassFactory* factory = CreateClassFactory();
  if (factory == nullptr) return kEOutOfMemory;
  IUnknown* unknown = AsUnknown(static_cast<IClassFactory*>(factory));
  const HRESULT hr = factory->lpVtbl->QueryInterface(unknown, riid, ppv);
  factory->lpVtbl->Release(unknown);  // the caller holds the one reference left
  return hr;
}

extern "C" HRESULT KIT_STDCALL DllCanUnloadNow() {
  return (LiveObjects() != 0 || Locks() != 0) ? kSFalse : kSOk;
}
