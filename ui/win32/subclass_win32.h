// The common controls' subclass helpers, looked up at run time. ComCtl32
// exports SetWindowSubclass, RemoveWindowSubclass and DefSubclassProc by name
// from version 6 (Windows XP) on; Windows 2000's version 5.81 has them by
// ordinal only (410, 412, 413). A static import by name would keep the
// programs and the plug-in from loading there. Windows builds only.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "platform/win32/system_proc.h"

namespace kit::ui::win32 {

namespace subclass_detail {

constexpr WORD kSetWindowSubclassOrdinal = 410;
constexpr WORD kRemoveWindowSubclassOrdinal = 412;
constexpr WORD kDefSubclassProcOrdinal = 413;

using SetFn = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR);
using RemoveFn = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR);
using DefFn = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);

struct Helpers {
  SetFn set = kit::win32::SystemProc<SetFn>(L"comctl32.dll", "SetWindowSubclass", kSetWindowSubclassOrdinal);
  RemoveFn remove =
      kit::win32::SystemProc<RemoveFn>(L"comctl32.dll", "RemoveWindowSubclass", kRemoveWindowSubclassOrdinal);
  DefFn def = kit::win32::SystemProc<DefFn>(L"comctl32.dll", "DefSubclassProc", kDefSubclassProcOrdinal);
};

inline const Helpers& Get() {
  static const Helpers helpers;
  return helpers;
}

}  // namespace subclass_detail

// SetWindowSubclass; false (with ERROR_PROC_NOT_FOUND) where the common
// controls lack it.
inline bool SetSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data) {
  const auto fn = subclass_detail::Get().set;
  if (fn == nullptr) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return false;
  }
  return fn(window, proc, id, data) != FALSE;
}

// RemoveWindowSubclass.
inline void RemoveSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id) {
  if (const auto fn = subclass_detail::Get().remove) fn(window, proc, id);
}

// DefSubclassProc; only a subclass procedure calls it, so the helpers exist.
inline LRESULT DefSubclass(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  const auto fn = subclass_detail::Get().def;
  return fn != nullptr ? fn(window, message, wparam, lparam) : DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace kit::ui::win32
