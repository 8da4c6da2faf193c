// Module-wide state of the plug-in's COM server: the live-object and
// server-lock counts that decide whether the module may be unloaded, the
// module instance handle, and what the module learnt about its system at
// load time.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <new>
#include <string>

namespace kit::plugin::com {

// Live plug-in objects and LockServer locks; changed with interlocked
// operations because the host may call from any thread.
void IncrementLiveObjects();
void DecrementLiveObjects();
std::int32_t LiveObjects();
void IncrementLocks();
void DecrementLocks();
std::int32_t Locks();

// The module instance handle, stored at process attach; pages and dialogs use
// it as their instance.
void SetModuleHandle(void* module);
void* ModuleHandle();

// The Windows system directory (for example "C:\Windows\system32"), stored at
// process attach; the default log folder lies on its drive.
void SetSystemDirectory(std::u16string directory);
const std::u16string& SystemDirectory();

// Allocation of the module's COM objects. Never throws: null on failure.
// Tests can make the next `count` allocations fail to reach the
// out-of-memory paths.
void FailNextAllocationsForTesting(int count);
bool AllocationAllowed();

template <typename T>
T* NewObject() {
  if (!AllocationAllowed()) return nullptr;
  return new (std::nothrow) T();
}

}  // namespace kit::plugin::com
