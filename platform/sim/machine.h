// The virtual Windows machine (Linux build): a folder holding drive C:, a
// state file (registry, spooler, services, devices, system facts, windows,
// mutexes, faults) and the bytes of every raw job. A Machine object opens
// such a folder for one simulated process and hands out the Platform the
// product code runs on; several processes may open the same folder at once.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "platform/platform.h"
#include "platform/sim/store.h"

namespace kit::sim {

// Environment variables through which a started program finds its machine.
inline constexpr char kEnvMachine[] = "KIT_SIM_MACHINE";
inline constexpr char kEnvModulePath[] = "KIT_SIM_MODULE_PATH";
inline constexpr char kEnvCommandLine[] = "KIT_SIM_COMMAND_LINE";
inline constexpr char kEnvCurrentDirectory[] = "KIT_SIM_CURRENT_DIRECTORY";
inline constexpr char kEnvProcessBits[] = "KIT_SIM_PROCESS_BITS";
// "SYSTEM" runs the process as the machine's services do (the spooler that
// renders local jobs); unset or empty, as the machine's signed-in user.
inline constexpr char kEnvAccount[] = "KIT_SIM_ACCOUNT";
// The account Windows' services run as (LocalSystem), as GetUserName names it.
inline constexpr char16_t kSystemAccount[] = u"SYSTEM";

// The simulated process that uses the machine.
struct ProcessOptions {
  // 32 for the kit's 32-bit programs (WOW64 on a 64-bit machine), 64 for a
  // native 64-bit build.
  int bits = 32;
  // The program's own Windows path (GetModuleFileName).
  WString module_path = u"C:\\kit\\program.exe";
  // GetCommandLine; empty: the quoted module path.
  WString command_line;
  // GetCurrentDirectory; empty: the module's folder.
  WString current_directory;
  // The account the process runs as: empty for the signed-in user (its
  // profile's temporary folder), kSystemAccount for a service (the
  // Windows folder's Temp).
  WString account;
};

class Machine {
 public:
  // Opens an existing machine folder. Null with *error set (a sentence for
  // the user) when the folder holds no usable machine state.
  static std::unique_ptr<Machine> Open(const std::filesystem::path& folder, const ProcessOptions& process,
                                       std::string* error);
  // Opens the machine named by the KIT_SIM_* environment variables, as a
  // program started through Shell::ShellExecute finds it.
  static std::unique_ptr<Machine> OpenFromEnvironment(std::string* error);

  virtual ~Machine() = default;
  virtual Platform& platform() = 0;
  virtual Store& store() = 0;
  virtual const ProcessOptions& process() const = 0;
  // The host path a Windows path maps to (no redirection), empty when the
  // path is not on drive C:.
  virtual std::filesystem::path HostPath(WStringView windows_path) = 0;
  // Milliseconds slept on the virtual clock since the machine was created.
  virtual std::uint64_t SleptMilliseconds() = 0;
};

// The bitness of the programs built for the machine itself, as the kit runs
// its 64-bit builds on 64-bit Windows: 64 when the machine's processor is
// x64 (GetNativeSystemInfo), else 32. 0 with *error set when the folder holds
// no usable machine.
int NativeProcessBits(const std::filesystem::path& folder, std::string* error);

// Windows' answer to a refused call as the Linux tools report it on one
// line: the system's message text and the code, "The printer name is
// invalid. (error 1801)".
std::string RefusalText(Platform& platform, win32::Error code);

}  // namespace kit::sim
