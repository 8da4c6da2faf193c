// Functions of a system library looked up at run time, for the entry points
// that the oldest supported Windows lacks (Windows 2000 for 32-bit modules,
// XP x64 / Server 2003 x64 for 64-bit ones): a static import of one of them
// would keep the loader from starting the program or loading the plug-in at
// all. Windows builds only; needs nothing but <windows.h>.
#pragma once

#include <windows.h>

namespace kit::win32 {

// A function of a system library, or null when the library or the entry
// point is missing. The library stays loaded for the life of the process
// (system libraries are never unloaded while in use).
template <typename F>
F SystemProc(const wchar_t* library, const char* name) {
  HMODULE module = ::GetModuleHandleW(library);
  if (module == nullptr) module = ::LoadLibraryW(library);
  if (module == nullptr) return nullptr;
  return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// The same, falling back to the export's ordinal: some libraries exported a
// function by ordinal only before they named it (ComCtl32 5.8 on Windows
// 2000 and the subclass helpers).
template <typename F>
F SystemProc(const wchar_t* library, const char* name, WORD ordinal) {
  if (F by_name = SystemProc<F>(library, name)) return by_name;
  return SystemProc<F>(library, MAKEINTRESOURCEA(ordinal));
}

}  // namespace kit::win32
