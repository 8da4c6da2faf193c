#include "plugin/core/com/module_state.h"

#include <atomic>
#include <utility>

namespace kit::plugin::com {
namespace {

std::atomic<std::int32_t> g_live_objects{0};
std::atomic<std::int32_t> g_locks{0};
std::atomic<int> g_failing_allocations{0};
void* g_module = nullptr;

// Until process attach says otherwise, the usual system directory.
std::u16string& SystemDirectoryStorage() {
  static std::u16string directory = u"C:\\Windows\\system32";
  return directory;
}

}  // namespace

void IncrementLiveObjects() { g_live_objects.fetch_add(1); }
void DecrementLiveObjects() { g_live_objects.fetch_sub(1); }
std::int32_t LiveObjects() { return g_live_objects.load(); }
void IncrementLocks() { g_locks.fetch_add(1); }
void DecrementLocks() { g_locks.fetch_sub(1); }
std::int32_t Locks() { return g_locks.load(); }

void SetModuleHandle(void* module) { g_module = module; }
void* ModuleHandle() { return g_module; }

void SetSystemDirectory(std::u16string directory) { SystemDirectoryStorage() = std::move(directory); }
const std::u16string& SystemDirectory() { return SystemDirectoryStorage(); }

void FailNextAllocationsForTesting(int count) { g_failing_allocations.store(count); }

bool AllocationAllowed() {
  int remaining = g_failing_allocations.load();
  while (remaining > 0) {
    if (g_failing_allocations.compare_exchange_weak(remaining, remaining - 1)) return false;
  }
  return true;
}

}  // namespace kit::plugin::com
