#include "plugin/host/host_driver.h"

#include <cstdio>

#include "platform/types.h"

namespace kit::plugin::host {
namespace {

using namespace com;

HostDriver* Driver(IUnknown* p) { return static_cast<HostDriver*>(reinterpret_cast<IPrintOemDriverUI*>(p)); }

HRESULT KIT_STDCALL DriverQueryInterface(IUnknown* self, const GUID* riid, void** ppv) {
  if (ppv == nullptr) return kEPointer;
  if (riid != nullptr && (*riid == kIidIPrintOemDriverUi || *riid == kIidIUnknown)) {
    ++Driver(self)->refs;
    *ppv = static_cast<IPrintOemDriverUI*>(Driver(self));
    return kSOk;
  }
  *ppv = nullptr;
  return kENoInterface;
}
ULONG KIT_STDCALL DriverAddRef(IUnknown* self) { return ++Driver(self)->refs; }
ULONG KIT_STDCALL DriverRelease(IUnknown* self) { return --Driver(self)->refs; }
HRESULT KIT_STDCALL DriverGetSetting(IPrintOemDriverUI*, void*, const char*, void*, DWORD, DWORD*, DWORD*) {
  return kENotImpl;
}
HRESULT KIT_STDCALL DriverUpgrade(IPrintOemDriverUI*, HANDLE, const char*, const char*) { return kENotImpl; }
HRESULT KIT_STDCALL DriverUpdateUi(IPrintOemDriverUI*, void*, void* item, DWORD, DWORD mode) {
  const auto* option = static_cast<const OPTITEM*>(item);
  std::printf("driver: option item \"%s\" changed (mode %u)\n",
              option->pName ? kit::ToUtf8(option->pName).c_str() : "", mode);
  return kSOk;
}
constexpr IPrintOemDriverUIVtbl kDriverVtbl = {DriverQueryInterface, DriverAddRef,  DriverRelease,
                                               DriverGetSetting,     DriverUpgrade, DriverUpdateUi};

}  // namespace

HostDriver::HostDriver() : IPrintOemDriverUI{&kDriverVtbl} {}

}  // namespace kit::plugin::host
