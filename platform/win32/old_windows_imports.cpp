// Run-time stand-ins for the kernel32 functions that the toolchain's threads
// runtime (winpthreads, linked statically into every module) imports but the
// oldest supported Windows lacks: GetTickCount64 (Vista) and
// Add/RemoveVectoredExceptionHandler (XP). An import the system does not
// export keeps the loader from starting the program or loading the plug-in.
//
// The runtime calls these functions through their import slots,
// __imp_<name> (__imp__<name>@<bytes> on i686). This object defines those
// slots itself, pointing at functions that look the real one up in kernel32
// on first use and fall back where it is missing, so the linker takes no
// import for them from kernel32's import library. Code that called one of
// the three directly would pull the import library's member as well and fail
// to link with a duplicate symbol: the kit calls them through the platform
// layer (Clock::GetTickCount64), which looks them up itself.
//
// Linked as an object into each shipped module (kitsetup, Uninstall, Install,
// VRTQ40UI and the USB stand-ins); scripts/check-pe.sh checks the result.
// Windows builds only.
#include <windows.h>

#include <atomic>
#include <cstdint>

#include "platform/tick_count.h"

namespace {

// The import slot's symbol: decorated with the stdcall argument bytes on
// i686, where C names also carry a leading underscore.
#if defined(__i386__)
#define KIT_IMPORT_SLOT(name, bytes) "__imp__" #name "@" #bytes
#else
#define KIT_IMPORT_SLOT(name, bytes) "__imp_" #name
#endif

template <typename F>
F Kernel32Proc(const char* name) {
  const HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
  return kernel32 == nullptr ? nullptr : reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(kernel32, name)));
}

// A function looked up once; `missing` marks "looked up, not there".
template <typename F>
class LazyProc {
 public:
  explicit constexpr LazyProc(const char* name) : name_(name) {}
  F Get() {
    void* at = proc_.load(std::memory_order_acquire);
    if (at == nullptr) {
      const F found = Kernel32Proc<F>(name_);
      at = found != nullptr ? reinterpret_cast<void*>(found) : Missing();
      proc_.store(at, std::memory_order_release);
    }
    return at == Missing() ? nullptr : reinterpret_cast<F>(at);
  }

 private:
  static void* Missing() { return reinterpret_cast<void*>(&missing_marker_); }
  static inline char missing_marker_ = 0;
  const char* name_;
  std::atomic<void*> proc_{nullptr};
};

using TickCount64Fn = ULONGLONG(WINAPI*)();
using AddHandlerFn = PVOID(WINAPI*)(ULONG, PVECTORED_EXCEPTION_HANDLER);
using RemoveHandlerFn = ULONG(WINAPI*)(PVOID);

// Constant-initialised: the runtime calls these from its TLS callback,
// before any constructor of the module has run.
constinit LazyProc<TickCount64Fn> g_tick_count64("GetTickCount64");
constinit LazyProc<AddHandlerFn> g_add_handler("AddVectoredExceptionHandler");
constinit LazyProc<RemoveHandlerFn> g_remove_handler("RemoveVectoredExceptionHandler");

// The 32-bit tick count widened (platform/tick_count.h): the high half
// counts the wraps seen (every 49.7 days).
constinit std::atomic<std::uint64_t> g_wide_ticks{0};

ULONGLONG WINAPI TickCount64() {
  if (const auto fn = g_tick_count64.Get()) return fn();
  return kit::WideTickCount(g_wide_ticks, [] { return static_cast<std::uint32_t>(::GetTickCount()); });
}

// Without vectored handlers (Windows 2000) the runtime installs none: the
// function fails with a null handle, as documented for a failure.
PVOID WINAPI AddHandler(ULONG first, PVECTORED_EXCEPTION_HANDLER handler) {
  const auto fn = g_add_handler.Get();
  return fn != nullptr ? fn(first, handler) : nullptr;
}

ULONG WINAPI RemoveHandler(PVOID handle) {
  const auto fn = g_remove_handler.Get();
  return fn != nullptr ? fn(handle) : 0;
}

}  // namespace

extern "C" {
extern TickCount64Fn const kit_imp_GetTickCount64 __asm__(KIT_IMPORT_SLOT(GetTickCount64, 0));
extern AddHandlerFn const kit_imp_AddVectoredExceptionHandler __asm__(KIT_IMPORT_SLOT(AddVectoredExceptionHandler, 8));
extern RemoveHandlerFn const kit_imp_RemoveVectoredExceptionHandler __asm__(
    KIT_IMPORT_SLOT(RemoveVectoredExceptionHandler, 4));

TickCount64Fn const kit_imp_GetTickCount64 = TickCount64;
AddHandlerFn const kit_imp_AddVectoredExceptionHandler = AddHandler;
RemoveHandlerFn const kit_imp_RemoveVectoredExceptionHandler = RemoveHandler;
}
