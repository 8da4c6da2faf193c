#include "tests/plugin/core/com/fake_driver.h"

namespace kit::plugin::com::testing {
namespace {

FakeDriver* Self(IPrintOemDriverUI* p) { return static_cast<FakeDriver*>(p); }
FakeDriver* Self(IUnknown* p) { return Self(reinterpret_cast<IPrintOemDriverUI*>(p)); }

HRESULT KIT_STDCALL QueryInterface(IUnknown* self, const GUID* riid, void** ppv) {
  if (!Self(self)->refuse_query && (*riid == kIidIPrintOemDriverUi || *riid == kIidIUnknown)) {
    ++Self(self)->refs;
    *ppv = static_cast<IPrintOemDriverUI*>(Self(self));
    return kSOk;
  }
  *ppv = nullptr;
  return kENoInterface;
}
ULONG KIT_STDCALL AddRef(IUnknown* self) { return ++Self(self)->refs; }
ULONG KIT_STDCALL Release(IUnknown* self) { return --Self(self)->refs; }
HRESULT KIT_STDCALL GetSetting(IPrintOemDriverUI*, void*, const char*, void*, DWORD, DWORD*, DWORD*) {
  return kENotImpl;
}
HRESULT KIT_STDCALL Upgrade(IPrintOemDriverUI*, HANDLE, const char*, const char*) { return kENotImpl; }
HRESULT KIT_STDCALL UpdateUi(IPrintOemDriverUI* self, void* pci, void* item, DWORD previous, DWORD mode) {
  Self(self)->updates.push_back({pci, item, previous, mode});
  return kSOk;
}

constexpr IPrintOemDriverUIVtbl kVtbl = {QueryInterface, AddRef, Release, GetSetting, Upgrade, UpdateUi};

}  // namespace

FakeDriver::FakeDriver() : IPrintOemDriverUI{&kVtbl} {}

}  // namespace kit::plugin::com::testing
