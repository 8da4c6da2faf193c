#include "plugin/core/com/exports.h"

#include "plugin/core/com/oem_ui_object.h"
#include "plugin/module/com_server.h"

using namespace kit::plugin;

namespace {
constexpr com_server::ServedClass kServedClass{&com::kClsidOemUi, com::CreateOemUiObject};
}  // namespace

extern "C" com::HRESULT KIT_STDCALL DllGetClassObject(const com::GUID* rclsid, const com::GUID* riid, void** ppv) {
  return com_server::GetClassObject(kServedClass, rclsid, riid, ppv);
}

extern "C" com::HRESULT KIT_STDCALL DllCanUnloadNow() { return com_server::CanUnloadNow(); }
