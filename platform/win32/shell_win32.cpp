// Shell and windows on the real Windows: ShellExecute, top-level windows by
// title, named mutexes, setting-change broadcasts and restarting Windows.
#include "platform/win32/win32_common.h"
#include "platform/win32/windows_platform.h"

namespace kit::win32 {
namespace {

// SE_SHUTDOWN_NAME in its wide form (the header's form follows UNICODE).
constexpr wchar_t kShutdownPrivilege[] = L"SeShutdownPrivilege";

HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }

class Win32NamedMutex final : public NamedMutex {
 public:
  explicit Win32NamedMutex(HANDLE handle) : handle_(handle) {}

 private:
  UniqueHandle handle_;
};

// On Windows the program's real dialog is the window others find; this
// record only remembers the title under which it is shown, and finds this
// process's window of that title (another program's may share it).
class Win32TopLevelWindow final : public TopLevelWindow {
 public:
  explicit Win32TopLevelWindow(WStringView title) : title_(Wide(title)) {}
  WindowHandle Handle() const override {
    for (HWND w = ::FindWindowExW(nullptr, nullptr, nullptr, title_.c_str()); w != nullptr;
         w = ::FindWindowExW(nullptr, w, nullptr, title_.c_str())) {
      DWORD process = 0;
      ::GetWindowThreadProcessId(w, &process);
      if (process == ::GetCurrentProcessId()) return reinterpret_cast<WindowHandle>(w);
    }
    return 0;
  }
  void SetTitle(WStringView title) override { title_ = Wide(title); }

 private:
  std::wstring title_;
};

// Enables SE_SHUTDOWN_NAME in this process's token.
bool EnableShutdownPrivilege() {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    LogLastError("OpenProcessToken");
    return false;
  }
  UniqueHandle owned(token);
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!::LookupPrivilegeValueW(nullptr, kShutdownPrivilege, &privileges.Privileges[0].Luid)) {
    LogLastError("LookupPrivilegeValueW");
    return false;
  }
  // AdjustTokenPrivileges succeeds without granting a privilege the token
  // lacks; the last error tells.
  if (!::AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr)) {
    LogLastError("AdjustTokenPrivileges");
    return false;
  }
  if (::GetLastError() == ERROR_NOT_ALL_ASSIGNED) {
    LogFailure("AdjustTokenPrivileges", ERROR_NOT_ALL_ASSIGNED);
    ::SetLastError(kErrorPrivilegeNotHeld);
    return false;
  }
  return true;
}

class Win32Shell final : public Shell {
 public:
  explicit Win32Shell(Clock& clock) : clock_(clock) {}

  std::uintptr_t ShellExecute(const ShellExecuteRequest& request) override {
    const std::wstring verb = Wide(request.verb), file = Wide(request.file), parameters = Wide(request.parameters),
                       directory = Wide(request.directory);
    const auto result = reinterpret_cast<std::uintptr_t>(::ShellExecuteW(
        nullptr, OrNull(verb), file.c_str(), OrNull(parameters), OrNull(directory), request.show_command));
    if (result <= kShellExecuteErrorLimit) LogFailure("ShellExecuteW", static_cast<DWORD>(result), request.file);
    return result;
  }

  WindowHandle FindWindow(WStringView title) override {
    const std::wstring t = Wide(title);
    return reinterpret_cast<WindowHandle>(::FindWindowW(nullptr, t.c_str()));
  }

  WindowHandle FindWindowEx(WindowHandle after, WStringView title) override {
    const std::wstring t = Wide(title);
    return reinterpret_cast<WindowHandle>(::FindWindowExW(nullptr, ToHwnd(after), nullptr, t.c_str()));
  }

  bool IsWindow(WindowHandle window) override { return ::IsWindow(ToHwnd(window)) != FALSE; }
  bool IsIconic(WindowHandle window) override { return ::IsIconic(ToHwnd(window)) != FALSE; }
  bool SetForegroundWindow(WindowHandle window) override { return ::SetForegroundWindow(ToHwnd(window)) != FALSE; }
  // ShowWindow answers whether the window was visible before, as Windows does.
  bool ShowWindow(WindowHandle window, int command) override { return ::ShowWindow(ToHwnd(window), command) != FALSE; }

  bool WaitWhileWindowExists(WStringView title, std::uint32_t poll_milliseconds, std::uint32_t max_polls) override {
    for (std::uint32_t polls = 0; max_polls == 0 || polls < max_polls; ++polls) {
      if (FindWindow(title) == 0) return true;
      clock_.Sleep(poll_milliseconds);
    }
    return FindWindow(title) == 0;
  }

  TopLevelWindowHandle AnnounceWindow(WStringView title) override {
    return std::make_unique<Win32TopLevelWindow>(title);
  }

  NamedMutexHandle CreateMutex(WStringView name, bool initial_owner) override {
    const std::wstring n = Wide(name);
    HANDLE handle = ::CreateMutexW(nullptr, initial_owner ? TRUE : FALSE, OrNull(n));
    if (handle == nullptr) {
      LogLastError("CreateMutexW", name);
      return nullptr;
    }
    // The caller reads ERROR_ALREADY_EXISTS from the last error: keep it.
    const DWORD code = ::GetLastError();
    auto mutex = std::make_unique<Win32NamedMutex>(handle);
    ::SetLastError(code);
    return mutex;
  }

  bool BroadcastSettingChange(WStringView section, std::uint32_t timeout_milliseconds) override {
    const std::wstring s = Wide(section);
    DWORD_PTR result = 0;
    const LRESULT ok = ::SendMessageTimeoutW(HWND_BROADCAST, WM_WININICHANGE, 0,
                                             reinterpret_cast<LPARAM>(s.c_str()), SMTO_NORMAL,
                                             timeout_milliseconds, &result);
    if (ok == 0) LogLastError("SendMessageTimeoutW", section);
    return ok != 0;
  }

  bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) override {
    if (!EnableShutdownPrivilege()) return false;
    if (!::ExitWindowsEx(flags, reason)) {
      LogLastError("ExitWindowsEx");
      return false;
    }
    return true;
  }

 private:
  Clock& clock_;
};

}  // namespace

std::unique_ptr<Shell> MakeShell(Clock& clock) { return std::make_unique<Win32Shell>(clock); }

}  // namespace kit::win32
