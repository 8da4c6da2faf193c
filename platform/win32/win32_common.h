// Shared helpers of the Win32 implementation of the platform layer: text
// conversion between the interfaces' UTF-16 and the wide Win32 strings,
// RAII owners for kernel handles and loaded modules, and the log line every
// failing Windows call writes.
#pragma once

// Every system header of this folder comes here, before the names the
// platform interfaces share with Windows macros are undefined.
#include <windows.h>
#include <cfgmgr32.h>
#include <setupapi.h>
#include <shellapi.h>
#include <shlobj.h>
#include <winspool.h>

#include <algorithm>
#include <string>

#include "platform/types.h"
#include "platform/win32/system_proc.h"
#include "platform/undef_win32_names.h"

namespace kit::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "mingw and MSVC use 16-bit wchar_t");

// A NUL-terminated wide copy of `text` (views need not end with NUL).
inline std::wstring Wide(WStringView text) { return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size()); }
// NULL for an empty text, as the calls that take "no name" expect.
inline const wchar_t* OrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }
// Casts away const for the many W functions whose structures take LPWSTR.
inline wchar_t* Mutable(const std::wstring& text) { return const_cast<wchar_t*>(text.c_str()); }
inline wchar_t* MutableOrNull(const std::wstring& text) { return text.empty() ? nullptr : Mutable(text); }

inline WString FromWide(const wchar_t* text) {
  return text == nullptr ? WString() : WString(reinterpret_cast<const char16_t*>(text));
}
inline WString FromWide(const wchar_t* text, std::size_t length) {
  return WString(reinterpret_cast<const char16_t*>(text), length);
}
// Text up to the first NUL of a fixed-capacity buffer.
inline WString FromWideBuffer(const wchar_t* text, std::size_t capacity) {
  std::size_t n = 0;
  while (n < capacity && text[n] != 0) ++n;
  return FromWide(text, n);
}

// Writes "<api> failed: <code>" (and the subject, when given) to the
// debugger output and, when KIT_PLATFORM_LOG is set, to standard error.
// Preserves the thread's last error.
void LogFailure(const char* api, DWORD code, WStringView subject = {});
// Logs the thread's last error for `api` and returns it.
DWORD LogLastError(const char* api, WStringView subject = {});

// A kernel handle closed with CloseHandle.
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
  ~UniqueHandle() { Reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = other.Release();
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  HANDLE Get() const { return handle_; }
  bool Valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Release() {
    HANDLE h = handle_;
    handle_ = nullptr;
    return h;
  }
  void Reset() {
    if (Valid()) {
      // CloseHandle must not disturb the last error of the call that failed.
      const DWORD saved = ::GetLastError();
      ::CloseHandle(handle_);
      ::SetLastError(saved);
    }
    handle_ = nullptr;
  }

 private:
  HANDLE handle_ = nullptr;
};

// A module loaded with LoadLibrary, released with FreeLibrary.
class UniqueModule {
 public:
  UniqueModule() = default;
  explicit UniqueModule(HMODULE module) : module_(module) {}
  ~UniqueModule() {
    if (module_ != nullptr) {
      const DWORD saved = ::GetLastError();
      ::FreeLibrary(module_);
      ::SetLastError(saved);
    }
  }
  UniqueModule(const UniqueModule&) = delete;
  UniqueModule& operator=(const UniqueModule&) = delete;

  HMODULE Get() const { return module_; }
  explicit operator bool() const { return module_ != nullptr; }
  // GetProcAddress cast to the function type the caller names.
  template <typename F>
  F Proc(const char* name) const {
    return module_ == nullptr ? nullptr : reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module_, name)));
  }

 private:
  HMODULE module_ = nullptr;
};

}  // namespace kit::win32
