// The Windows build: a window-procedure hook on the installer's own thread
// that presses the confirming button of the system's driver-installation
// warning dialogs, recognised by the captions "setupapi.dll" gives them.
#include <windows.h>

#include <string>
#include <vector>

#include "usbinstall/driver_warning.h"

namespace kit::usbinstall {
namespace {

struct HookState {
  HHOOK hook = nullptr;
  std::vector<std::string> captions;
};
HookState g_state;

// The caption of a dialog resource, converted to the ANSI code page.
std::string DialogCaption(HMODULE module, int id) {
  HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
  if (!resource) return {};
  HGLOBAL loaded = LoadResource(module, resource);
  const auto* data = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
  const std::size_t size = SizeofResource(module, resource);
  const std::u16string caption = DialogTemplateCaption(data, size);
  const std::wstring title(caption.begin(), caption.end());
  char buffer[kWarningCaptionCapacity] = {};
  WideCharToMultiByte(CP_ACP, 0, title.c_str(), -1, buffer, sizeof buffer - 1, nullptr, nullptr);
  buffer[sizeof buffer - 1] = '\0';
  return buffer;
}

BOOL CALLBACK PressConfirmButton(HWND child, LPARAM) {
  char text[kWindowCaptionCapacity] = {};
  GetWindowTextA(child, text, sizeof text);
  if (!IsConfirmButtonText(text)) return TRUE;
  SendMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  SendMessageA(child, WM_LBUTTONUP, 0, 0);
  return FALSE;  // the walk stops at the first button
}

LRESULT CALLBACK CallWindowHook(int code, WPARAM wparam, LPARAM lparam) {
  if (code != HC_ACTION || wparam == 0 || lparam == 0) return CallNextHookEx(g_state.hook, code, wparam, lparam);
  const auto* message = reinterpret_cast<const CWPSTRUCT*>(lparam);
  const HWND window = reinterpret_cast<HWND>(message->lParam);
  if (!IsWindow(window)) return CallNextHookEx(g_state.hook, code, wparam, lparam);
  char caption[kWindowCaptionCapacity] = {};
  GetWindowTextA(window, caption, sizeof caption);
  bool warning = false;
  for (const auto& known : g_state.captions) warning = warning || (!known.empty() && known == caption);
  const LRESULT result = CallNextHookEx(g_state.hook, code, wparam, lparam);
  if (warning) EnumChildWindows(window, PressConfirmButton, 0);
  return result;
}

class WindowHookResponder final : public DriverWarningResponder {
 public:
  WindowHookResponder() {
    g_state.hook = SetWindowsHookExA(WH_CALLWNDPROC, CallWindowHook, nullptr, GetCurrentThreadId());
  }
  ~WindowHookResponder() override {
    if (g_state.hook) UnhookWindowsHookEx(g_state.hook);
    g_state = HookState{};
  }
};

}  // namespace

std::unique_ptr<DriverWarningResponder> StartDriverWarningResponder(SystemFacts& system) {
  (void)system;
  HMODULE setupapi = LoadLibraryW(reinterpret_cast<const wchar_t*>(kSetupApiLibrary));
  if (!setupapi) return nullptr;
  g_state.captions = {DialogCaption(setupapi, kWarningDialogUnsigned),
                      DialogCaption(setupapi, kWarningDialogUntrusted)};
  FreeLibrary(setupapi);
  return std::make_unique<WindowHookResponder>();
}

}  // namespace kit::usbinstall
