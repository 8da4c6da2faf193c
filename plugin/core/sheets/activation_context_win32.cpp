#include "plugin/core/sheets/activation_context_win32.h"

#include <windows.h>

#include "plugin/core/com/module_state.h"
#include "platform/win32/system_proc.h"

namespace kit::plugin::sheets {
namespace {

constexpr WORD kManifestResourceId = 2;  // ISOLATIONAWARE_MANIFEST_RESOURCE_ID
constexpr DWORD kPathCapacity = 260;     // MAX_PATH

// Activation contexts exist from XP on: on Windows 2000 the pages have none
// (and the classic controls, as every program there).
using CreateActCtxFn = HANDLE(WINAPI*)(const ACTCTXW*);
using ReleaseActCtxFn = void(WINAPI*)(HANDLE);

// INVALID_HANDLE_VALUE stands for "not tried yet"; null for "none".
HANDLE g_context = INVALID_HANDLE_VALUE;

HANDLE CreateModuleContext() {
  HMODULE module = static_cast<HMODULE>(com::ModuleHandle());
  wchar_t path[kPathCapacity] = {};
  if (module == nullptr || GetModuleFileNameW(module, path, kPathCapacity) == 0) return nullptr;
  ACTCTXW request{};
  request.cbSize = sizeof request;
  request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
  request.lpSource = path;
  request.lpResourceName = MAKEINTRESOURCEW(kManifestResourceId);
  request.hModule = module;
  const auto create = kit::win32::SystemProc<CreateActCtxFn>(L"kernel32.dll", "CreateActCtxW");
  if (create == nullptr) return nullptr;
  const HANDLE context = create(&request);
  return context == INVALID_HANDLE_VALUE ? nullptr : context;
}

}  // namespace

void* ModuleActivationContext() {
  if (g_context == INVALID_HANDLE_VALUE) g_context = CreateModuleContext();
  return g_context;
}

void ReleaseModuleActivationContext() {
  if (g_context != INVALID_HANDLE_VALUE && g_context != nullptr) {
    // A context was made, so the function that releases it exists.
    if (const auto release = kit::win32::SystemProc<ReleaseActCtxFn>(L"kernel32.dll", "ReleaseActCtx")) release(g_context);
  }
  g_context = INVALID_HANDLE_VALUE;
}

}  // namespace kit::plugin::sheets
