// Shared core of the virtual machine's facilities: the state store, the
// simulated process, the thread's last error, injected faults and Windows
// path resolution onto the machine's drive C:.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "platform/sim/machine.h"
#include "platform/sim/store.h"

namespace kit::sim {

// A Windows path resolved onto the machine.
struct ResolvedPath {
  WString windows;             // normalised, as the caller spelled it ("C:\Windows\x.dll")
  std::string key;             // upper-case UTF-8 key for per-file records
  std::filesystem::path host;  // where the file lives on the Linux side
};

// Members of the state's "faults" object: the call log (an array of
// {api, subject, process} the machine appends every faultable call to while
// it is there), the countdown after which the calling process is killed,
// the text its program's path must contain (any program when empty), and
// whether it dies once the call's change is saved (true) rather than before
// the call changes anything (absent, false).
inline constexpr char kCallLogMember[] = "log";
inline constexpr char kKillAfterMember[] = "kill_after";
inline constexpr char kKillProcessMember[] = "kill_process";
inline constexpr char kKillAfterEffectMember[] = "kill_after_effect";

class Core {
 public:
  Core(std::filesystem::path folder, ProcessOptions process);

  Store& store() { return store_; }
  const ProcessOptions& process() const { return process_; }

  // The thread's last error.
  static win32::Error LastError();
  static void SetLastError(win32::Error code);
  // Sets the last error and returns false, for one-line failures.
  static bool Fail(win32::Error code) {
    SetLastError(code);
    return false;
  }

  // Reads the state; false (last error kErrorInvalidData) when the state
  // file is unusable.
  bool Read(Json* state);
  // Runs `call` on the state under the lock and saves the state when the
  // call changed it (a consumed fault counts as a change). Returns the
  // call's result, or false (last error kErrorInvalidData) when the state
  // file is unusable.
  template <typename F>
  bool Update(F&& call) {
    std::string message;
    bool result = false;
    bool malformed = false;
    const auto error = store_.Update(
        [&](Json& state) {
          const Json before = state;
          // A hand-edited state with a member of the wrong type makes the
          // JSON library throw; the call fails instead of the program.
          try {
            result = call(state);
          } catch (const nlohmann::json::exception& e) {
            message = std::string("the machine state holds a value of the wrong kind: ") + e.what();
            malformed = true;
            return false;
          }
          return state != before;
        },
        &message);
    KillIfDue();
    if (malformed) {
      last_store_message_ = message;
      SetLastError(win32::kErrorInvalidData);
      return false;
    }
    if (error != StoreError::kNone) {
      last_store_message_ = message;
      SetLastError(win32::kErrorInvalidData);
      return false;
    }
    return result;
  }
  const std::string& LastStoreMessage() const { return last_store_message_; }

  // Consumes an injected fault of `api` (matching `subject` when the fault
  // names one, case-insensitively as a substring). Returns the error code to
  // fail with, or nullopt. The caller saves the state. Every faultable call
  // passes here: it is logged when the call log is on, and counts down a
  // pending kill.
  static std::optional<win32::Error> TakeFault(Json& state, std::string_view api, WStringView subject = {});
  // The same for a call that only reads the state (`read`, as it read it):
  // the fault is taken on the saved state, so that the call log keeps the
  // call and a counted fault or a pending kill is used up. Without faults
  // nothing is written.
  std::optional<win32::Error> TakeReadFault(const Json& read, std::string_view api, WStringView subject = {});
  // A fault injected on a path (file in use, access denied, …) for `key`.
  static std::optional<win32::Error> PathFault(const Json& state, const std::string& key);

  // Facts of the machine and the process.
  static bool Is64BitMachine(const Json& state);
  bool IsWow64(const Json& state) const { return Is64BitMachine(state) && process_.bits == 32; }
  static WString WindowsDirectory(const Json& state);
  // The machine's own environment, the one its spooler runs printers in:
  // "Windows x64", "Windows NT x86" or "Windows 4.0".
  WString LocalEnvironment(const Json& state) const;
  // What a null environment means in this process's spooler calls: its own
  // environment, so "Windows NT x86" for a 32-bit process on a 64-bit
  // machine (WOW64), the machine's environment otherwise.
  WString CallerEnvironment(const Json& state) const;

  // WOW64 file-system redirection of the calling thread.
  bool RedirectionDisabled() const;
  void SetRedirectionDisabled(bool disabled);

  // Resolves a Windows path (absolute or relative to the current folder)
  // onto drive C:, applying WOW64 redirection when `redirect`. False with
  // the last error (kErrorPathNotFound, kErrorInvalidName,
  // kErrorFilenameExcedRange) for paths Windows would refuse.
  bool Resolve(const Json& state, WStringView path, bool redirect, ResolvedPath* out);
  // Same, without redirection and without consulting the state.
  std::filesystem::path HostPathOf(WStringView windows_path);

  std::uint64_t ProcessId() const { return pid_; }

  // Ends the process when a kill after a call's effect fell due in the
  // change just saved (see kKillAfterEffectMember).
  static void KillIfDue();

 private:
  Store store_;
  ProcessOptions process_;
  std::string last_store_message_;
  std::uint64_t pid_;
};

// Facility factories (one implementation file each).
std::unique_ptr<SystemFacts> MakeSystemFacts(Core& core);
std::unique_ptr<Files> MakeFiles(Core& core);
std::unique_ptr<Registry> MakeRegistry(Core& core);
std::unique_ptr<Spooler> MakeSpooler(Core& core, Files& files);
std::unique_ptr<Services> MakeServices(Core& core);
std::unique_ptr<Devices> MakeDevices(Core& core, Files& files);
std::unique_ptr<UsbLibraries> MakeUsbLibraries(Core& core);
std::unique_ptr<Shell> MakeShell(Core& core, Clock& clock);
std::unique_ptr<Clock> MakeClock(Core& core);

// JSON text helpers.
inline std::string U8(WStringView text) { return ToUtf8(text); }
inline WString W(const std::string& text) { return FromUtf8(text); }
inline std::string UpperKey(WStringView text) { return ToUtf8(ToUpperAscii(text)); }
// A JSON string member as UTF-16 (empty when absent or not a string).
WString JsonText(const Json& object, const char* member);

// Bytes as lower-case hex and back (the state keeps binary data this way).
std::string ToHex(const Bytes& bytes);
Bytes FromHex(const std::string& text);

}  // namespace kit::sim
