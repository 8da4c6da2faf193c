// The wizard's file-system redirection guard: on 64-bit Windows every
// access to the system folder, and the writing of the install records, is
// bracketed by Wow64DisableWow64FsRedirection and
// Wow64RevertWow64FsRedirection, looked up in "Kernel32.dll" at each use.
// When the library or a function cannot be had the guard says so in a
// message box and the access goes on with redirection as it is.
// This file is OS-independent.
#pragma once

#include <functional>
#include <string_view>

#include "platform/files.h"
#include "platform/system.h"

namespace kit::setup {

inline constexpr char16_t kNoKernel32Text[] = u"Can't Load Kernel32.dll";
inline constexpr char16_t kNoDisableFunctionText[] = u"Can't Get Function Wow64DisableWow64FsRedirection Address";
inline constexpr char16_t kNoRevertFunctionText[] = u"Can't Get Function Wow64RevertWow64FsRedirection Address";

// How the guard shows its texts (a message box of the wizard).
using GuardNotice = std::function<void(std::u16string_view text)>;

class RedirectionGuard {
 public:
  // Switches redirection off when `is_64bit`; does nothing otherwise.
  RedirectionGuard(SystemFacts& system, Files& files, bool is_64bit, GuardNotice notice);
  // Switches it back on when it was switched off.
  ~RedirectionGuard();
  RedirectionGuard(const RedirectionGuard&) = delete;
  RedirectionGuard& operator=(const RedirectionGuard&) = delete;

  // Whether redirection was switched off.
  bool active() const { return active_; }

 private:
  // Whether "Kernel32.dll" has `proc`; shows the matching text when not.
  bool Lookup(const char* proc, const char16_t* missing_text);

  SystemFacts& system_;
  Files& files_;
  GuardNotice notice_;
  void* old_value_ = nullptr;
  bool active_ = false;
};

}  // namespace kit::setup
