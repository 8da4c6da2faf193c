#include "plugin/core/sheets/activation_context_win32.h"

#include <windows.h>

#include "plugin/core/com/module_state.h"

namespace kit::plugin::sheets {
namespace {

constexpr WORD kManifestResourceId = 2;  // ISOLATIONAWARE_MANIFEST_RESOURCE_ID
constexpr DWORD kPathCapacity = 260;     // MAX_PATH

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
  const HANDLE context = CreateActCtxW(&request);
  return context == INVALID_HANDLE_VALUE ? nullptr : context;
}

}  // namespace

void* ModuleActivationContext() {
  if (g_context == INVALID_HANDLE_VALUE) g_context = CreateModuleContext();
  return g_context;
}

void ReleaseModuleActivationContext() {
  if (g_context != INVALID_HANDLE_VALUE && g_context != nullptr) ReleaseActCtx(g_context);
  g_context = INVALID_HANDLE_VALUE;
}

}  // namespace kit::plugin::sheets
