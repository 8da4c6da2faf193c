// The COM in-process server each plug-in module is: the module's live
// objects and server locks, which decide DllCanUnloadNow, and the class
// factory DllGetClassObject hands out for the one class a module serves.
// A module's two exports are one line each over GetClassObject and
// CanUnloadNow; its Windows entry is plugin/module/dll_main_win32.cpp.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <new>
#include <utility>

#include "plugin/core/com/interfaces.h"

namespace kit::plugin::com_server {

// Live objects and LockServer locks; changed with interlocked operations
// because the host may call from any thread. A class factory is no live
// object: the host keeps the module with LockServer, as COM has it.
void IncrementLiveObjects();
void DecrementLiveObjects();
std::int32_t LiveObjects();
void IncrementLocks();
void DecrementLocks();
std::int32_t Locks();

// Allocation of the module's COM objects. Never throws: null on failure.
// Tests can make the next `count` allocations fail to reach the
// out-of-memory paths.
void FailNextAllocationsForTesting(int count);
bool AllocationAllowed();

template <typename T, typename... Args>
T* NewObject(Args&&... args) {
  if (!AllocationAllowed()) return nullptr;
  return new (std::nothrow) T(std::forward<Args>(args)...);
}

// Makes one object of the served class and answers `riid` of it on *ppv
// (null on failure): S_OK, E_NOINTERFACE, E_POINTER or E_OUTOFMEMORY. The
// object's creation reference is dropped after the query, so a refused
// query leaves no object behind.
using CreateFunction = com::HRESULT (*)(const com::GUID* riid, void** ppv);

struct ServedClass {
  const com::GUID* clsid;
  CreateFunction create;
};

// DllGetClassObject of a module serving `served`: a factory answering
// IUnknown and IClassFactory, with one reference. Another class id gives
// CLASS_E_CLASSNOTAVAILABLE and leaves *ppv untouched.
com::HRESULT GetClassObject(const ServedClass& served, const com::GUID* rclsid, const com::GUID* riid, void** ppv);

// DllCanUnloadNow: S_FALSE while objects live or the server is locked.
com::HRESULT CanUnloadNow();

}  // namespace kit::plugin::com_server
