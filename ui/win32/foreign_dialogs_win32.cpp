// The window-procedure hook that answers the system's dialogs, and the read
// of a library's dialog resources.
#include <windows.h>

#include "ui/win32/foreign_dialogs.h"

namespace kit::ui::win32 {
namespace {

struct HookState {
  HHOOK hook = nullptr;
  std::vector<std::string> captions;
  ButtonFilter is_button = nullptr;
  std::size_t caption_capacity = 0;
};
HookState g_state;

BOOL CALLBACK PressButton(HWND child, LPARAM) {
  std::string text(g_state.caption_capacity, '\0');
  GetWindowTextA(child, text.data(), static_cast<int>(text.size()));
  text.resize(std::char_traits<char>::length(text.c_str()));
  if (!g_state.is_button(text)) return TRUE;
  SendMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  SendMessageA(child, WM_LBUTTONUP, 0, 0);
  return FALSE;  // the walk stops at the first button
}

LRESULT CALLBACK CallWindowHook(int code, WPARAM wparam, LPARAM lparam) {
  if (code != HC_ACTION || wparam == 0 || lparam == 0) return CallNextHookEx(g_state.hook, code, wparam, lparam);
  const auto* message = reinterpret_cast<const CWPSTRUCT*>(lparam);
  const HWND window = reinterpret_cast<HWND>(message->lParam);
  if (!IsWindow(window)) return CallNextHookEx(g_state.hook, code, wparam, lparam);
  std::string caption(g_state.caption_capacity, '\0');
  GetWindowTextA(window, caption.data(), static_cast<int>(caption.size()));
  caption.resize(std::char_traits<char>::length(caption.c_str()));
  bool known = false;
  for (const auto& c : g_state.captions) known = known || (!c.empty() && c == caption);
  const LRESULT result = CallNextHookEx(g_state.hook, code, wparam, lparam);
  if (known) EnumChildWindows(window, PressButton, 0);
  return result;
}

class WindowHookWatch final : public ForeignDialogWatch {
 public:
  WindowHookWatch() { g_state.hook = SetWindowsHookExA(WH_CALLWNDPROC, CallWindowHook, nullptr, GetCurrentThreadId()); }
  ~WindowHookWatch() override {
    if (g_state.hook) UnhookWindowsHookEx(g_state.hook);
    g_state = HookState{};
  }
};

}  // namespace

bool ReadLibraryDialogTemplates(std::u16string_view library, const std::vector<int>& ids,
                                std::vector<std::vector<std::uint8_t>>* templates) {
  const std::wstring name(library.begin(), library.end());
  HMODULE module = LoadLibraryW(name.c_str());
  if (!module) return false;
  templates->clear();
  for (int id : ids) {
    std::vector<std::uint8_t> bytes;
    if (HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5) /* RT_DIALOG */)) {
      HGLOBAL loaded = LoadResource(module, resource);
      const auto* data = static_cast<const std::uint8_t*>(loaded ? LockResource(loaded) : nullptr);
      if (data) bytes.assign(data, data + SizeofResource(module, resource));
    }
    templates->push_back(std::move(bytes));
  }
  FreeLibrary(module);
  return true;
}

std::unique_ptr<ForeignDialogWatch> WatchForeignDialogs(std::vector<std::string> captions, ButtonFilter is_button,
                                                        std::size_t caption_capacity) {
  g_state.captions = std::move(captions);
  g_state.is_button = is_button;
  g_state.caption_capacity = caption_capacity;
  return std::make_unique<WindowHookWatch>();
}

}  // namespace kit::ui::win32
