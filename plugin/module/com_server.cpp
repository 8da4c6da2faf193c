#include "plugin/module/com_server.h"

#include <atomic>

namespace kit::plugin::com_server {
namespace {

using com::GUID;
using com::HRESULT;
using com::IClassFactory;
using com::IUnknown;

std::atomic<std::int32_t> g_live_objects{0};
std::atomic<std::int32_t> g_locks{0};
std::atomic<int> g_failing_allocations{0};

struct Factory : IClassFactory {
  Factory(const IClassFactory& iface, CreateFunction make) : IClassFactory(iface), create(make) {}
  std::atomic<com::ULONG> refs{1};
  CreateFunction create;
};

Factory* FactoryOf(IUnknown* self) { return static_cast<Factory*>(reinterpret_cast<IClassFactory*>(self)); }

com::ULONG KIT_STDCALL FactoryAddRef(IUnknown* self) { return FactoryOf(self)->refs.fetch_add(1) + 1; }

HRESULT KIT_STDCALL FactoryQueryInterface(IUnknown* self, const GUID* riid, void** ppv) {
  if (ppv == nullptr) return com::kEPointer;
  if (riid != nullptr && (*riid == com::kIidIUnknown || *riid == com::kIidIClassFactory)) {
    *ppv = self;
    FactoryAddRef(self);
    return com::kSOk;
  }
  *ppv = nullptr;
  return com::kENoInterface;
}

com::ULONG KIT_STDCALL FactoryRelease(IUnknown* self) {
  Factory* factory = FactoryOf(self);
  const com::ULONG left = factory->refs.fetch_sub(1) - 1;
  if (left == 0) delete factory;
  return left;
}

HRESULT KIT_STDCALL FactoryCreateInstance(IClassFactory* self, IUnknown* outer, const GUID* riid, void** ppv) {
  if (ppv == nullptr) return com::kEPointer;
  *ppv = nullptr;
  if (outer != nullptr) return com::kClassENoAggregation;
  return static_cast<Factory*>(self)->create(riid, ppv);
}

HRESULT KIT_STDCALL FactoryLockServer(IClassFactory*, com::BOOL lock) {
  if (lock)
    IncrementLocks();
  else
    DecrementLocks();
  return com::kSOk;
}

constexpr com::IClassFactoryVtbl kFactoryVtbl = {
    FactoryQueryInterface, FactoryAddRef, FactoryRelease, FactoryCreateInstance, FactoryLockServer,
};

}  // namespace

void IncrementLiveObjects() { g_live_objects.fetch_add(1); }
void DecrementLiveObjects() { g_live_objects.fetch_sub(1); }
std::int32_t LiveObjects() { return g_live_objects.load(); }
void IncrementLocks() { g_locks.fetch_add(1); }
void DecrementLocks() { g_locks.fetch_sub(1); }
std::int32_t Locks() { return g_locks.load(); }

void FailNextAllocationsForTesting(int count) { g_failing_allocations.store(count); }

bool AllocationAllowed() {
  int remaining = g_failing_allocations.load();
  while (remaining > 0) {
    if (g_failing_allocations.compare_exchange_weak(remaining, remaining - 1)) return false;
  }
  return true;
}

HRESULT GetClassObject(const ServedClass& served, const GUID* rclsid, const GUID* riid, void** ppv) {
  if (rclsid == nullptr || !(*rclsid == *served.clsid)) return com::kClassEClassNotAvailable;
  Factory* factory = NewObject<Factory>(IClassFactory{&kFactoryVtbl}, served.create);
  if (factory == nullptr) return com::kEOutOfMemory;
  IUnknown* unknown = com::AsUnknown(static_cast<IClassFactory*>(factory));
  const HRESULT hr = FactoryQueryInterface(unknown, riid, ppv);
  FactoryRelease(unknown);  // the caller holds the one reference left
  return hr;
}

HRESULT CanUnloadNow() { return (LiveObjects() != 0 || Locks() != 0) ? com::kSFalse : com::kSOk; }

}  // namespace kit::plugin::com_server
