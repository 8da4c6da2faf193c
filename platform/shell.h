// Shell and windows (shell32, user32, kernel32 mutexes, power): start a
// program with a verb, parameters and a folder; find a top-level window by
// its title, bring it to the front, wait while it exists; named mutexes;
// WM_WININICHANGE broadcasts; restart Windows.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/types.h"

namespace kit {

// ShowWindow commands.
inline constexpr int kSwHide = 0;
inline constexpr int kSwShowNormal = 1;
inline constexpr int kSwShowMinimized = 2;
inline constexpr int kSwShow = 5;
inline constexpr int kSwRestore = 9;

// ShellExecute results at or below this value are errors.
inline constexpr std::uintptr_t kShellExecuteErrorLimit = 32;
inline constexpr std::uintptr_t kSeErrFileNotFound = 2;
inline constexpr std::uintptr_t kSeErrPathNotFound = 3;
inline constexpr std::uintptr_t kSeErrAccessDenied = 5;
inline constexpr std::uintptr_t kSeErrNoAssociation = 31;

// ExitWindowsEx flags.
inline constexpr std::uint32_t kEwxLogoff = 0x0;
inline constexpr std::uint32_t kEwxShutdown = 0x1;
inline constexpr std::uint32_t kEwxReboot = 0x2;
inline constexpr std::uint32_t kEwxForce = 0x4;

// A top-level window as FindWindow returns it; 0 is none.
using WindowHandle = std::uintptr_t;

// A named mutex (CreateMutex); CloseHandle on destruction. Windows drops
// it with the last handle, also when the process ends.
class NamedMutex {
 public:
  virtual ~NamedMutex() = default;
};
using NamedMutexHandle = std::unique_ptr<NamedMutex>;

// A top-level window this process shows, as others see it through
// FindWindow. On Windows the real dialog is the window and this record is
// empty; the virtual machine keeps it until it is destroyed or the process
// ends.
class TopLevelWindow {
 public:
  virtual ~TopLevelWindow() = default;
  virtual WindowHandle Handle() const = 0;
  virtual void SetTitle(WStringView title) = 0;
};
using TopLevelWindowHandle = std::unique_ptr<TopLevelWindow>;

struct ShellExecuteRequest {
  WString verb;        // "open", or empty for the default verb
  WString file;        // the program's full Windows path
  WString parameters;  // the command line after the program name
  WString directory;   // working folder, empty for the current one
  int show_command = kSwShowNormal;
};

class Shell {
 public:
  virtual ~Shell() = default;

  // ShellExecute: a value above kShellExecuteErrorLimit on success, else one
  // of the SE_ERR codes. Does not wait for the program.
  virtual std::uintptr_t ShellExecute(const ShellExecuteRequest& request) = 0;

  // FindWindow(no class, title): the whole title, compared without case as
  // Windows does.
  virtual WindowHandle FindWindow(WStringView title) = 0;
  // FindWindowEx(no parent, after, no class, title): the next top-level
  // window with this title after `after` (0: from the first), compared as
  // FindWindow does; 0 when there is none. Walks windows that share a title.
  virtual WindowHandle FindWindowEx(WindowHandle after, WStringView title) = 0;
  virtual bool IsWindow(WindowHandle window) = 0;
  virtual bool IsIconic(WindowHandle window) = 0;
  virtual bool SetForegroundWindow(WindowHandle window) = 0;
  virtual bool ShowWindow(WindowHandle window, int command) = 0;
  // Looks for the window every `poll_milliseconds` (sleeping on the clock in
  // between) while it exists, at most `max_polls` times (0: no limit).
  // Returns true when the window is gone.
  virtual bool WaitWhileWindowExists(WStringView title, std::uint32_t poll_milliseconds,
                                     std::uint32_t max_polls) = 0;
  // Makes this process's window known under `title` (see TopLevelWindow).
  virtual TopLevelWindowHandle AnnounceWindow(WStringView title) = 0;

  // CreateMutex(no security, initial_owner, name): the last error is
  // kErrorAlreadyExists when the mutex existed already. Null on failure.
  virtual NamedMutexHandle CreateMutex(WStringView name, bool initial_owner) = 0;

  // SendMessageTimeout(HWND_BROADCAST, WM_WININICHANGE, 0, section,
  // SMTO_NORMAL, timeout): false when the broadcast timed out.
  virtual bool BroadcastSettingChange(WStringView section, std::uint32_t timeout_milliseconds) = 0;

  // Enables SE_SHUTDOWN_NAME in the process token, then ExitWindowsEx.
  virtual bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) = 0;
};

}  // namespace kit
