// System facts (kernel32, advapi32 token checks): the version record the
// program is shown, processor architecture, WOW64, language ids, code pages,
// administrator membership, the well-known folders, module path, the
// thread's last error and the system's message texts.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <memory>

#include "common/oscode/os_version.h"
#include "platform/types.h"

namespace kit {

// OSVERSIONINFOEX as GetVersionEx fills it. What a program sees depends on
// its manifest: the kit's programs see 6.2 on Windows 8.1 and later.
struct OsVersionInfo {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint32_t build = 0;
  std::uint32_t platform_id = 0;  // kVerPlatform…
  WString csd_version;            // "Service Pack 1", at most 127 characters
  std::uint16_t service_pack_major = 0;
  std::uint16_t service_pack_minor = 0;
  std::uint16_t suite_mask = 0;
  std::uint8_t product_type = 0;  // kVerNt…
};
inline constexpr std::uint32_t kVerPlatformWin32s = 0;
inline constexpr std::uint32_t kVerPlatformWin32Windows = 1;  // Windows 9x
inline constexpr std::uint32_t kVerPlatformWin32Nt = 2;
inline constexpr std::uint8_t kVerNtWorkstation = 1;
inline constexpr std::uint8_t kVerNtDomainController = 2;
inline constexpr std::uint8_t kVerNtServer = 3;

// SYSTEM_INFO, the parts the kit reads.
struct SystemInfo {
  std::uint16_t processor_architecture = 0;  // kProcessorArchitecture…
  std::uint32_t page_size = 4096;
  std::uint32_t number_of_processors = 1;
};
// kProcessorArchitectureIntel, …Ia64, …Amd64 come with the version record
// the OS classifications read (common/oscode/os_version.h).

// Language ids the kit tells apart.
inline constexpr std::uint16_t kLangEnglishUs = 0x0409;
inline constexpr std::uint16_t kLangChineseSimplified = 0x0804;   // 2052
inline constexpr std::uint16_t kLangChineseTraditional = 0x0404;  // 1028

// CSIDL values for SHGetSpecialFolderPath.
inline constexpr int kCsidlAppData = 0x001A;
inline constexpr int kCsidlLocalAppData = 0x001C;
inline constexpr int kCsidlCommonAppData = 0x0023;
inline constexpr int kCsidlWindows = 0x0024;
inline constexpr int kCsidlSystem = 0x0025;
inline constexpr int kCsidlProgramFiles = 0x0026;
inline constexpr int kCsidlPersonal = 0x0005;

// A loaded library (LoadLibrary/FreeLibrary), used to ask whether an entry
// point exists before relying on it ("IsWow64Process" in "kernel32.dll",
// "DeletePrinterDriverExA" in "Winspool.drv", the cfgmgr32 calls, …). The
// calls themselves go through the facility that owns them.
class Library {
 public:
  virtual ~Library() = default;  // FreeLibrary
  // GetProcAddress(name) != NULL.
  virtual bool HasProc(std::string_view name) const = 0;
};
using LibraryHandle = std::unique_ptr<Library>;

class SystemFacts {
 public:
  virtual ~SystemFacts() = default;

  // The calling thread's last error (GetLastError / SetLastError).
  virtual win32::Error GetLastError() const = 0;
  virtual void SetLastError(win32::Error code) = 0;

  // FormatMessage from the system table for `code` in `language` (0 = the
  // user default), inserts ignored. Empty when the system has no text.
  virtual WString FormatMessage(win32::Error code, std::uint16_t language = 0) = 0;

  // GetVersionEx with an OSVERSIONINFOEX. False (and last error) on failure.
  virtual bool GetVersionEx(OsVersionInfo* info) = 0;
  virtual void GetSystemInfo(SystemInfo* info) = 0;
  // GetNativeSystemInfo; false when the entry point is missing (before XP).
  virtual bool GetNativeSystemInfo(SystemInfo* info) = 0;
  // IsWow64Process(GetCurrentProcess()): whether this process is a 32-bit
  // process on 64-bit Windows. False with last error on failure or when the
  // entry point is missing (kErrorProcNotFound). A native 64-bit build
  // answers true with *wow64 = false.
  virtual bool IsWow64Process(bool* wow64) = 0;
  // Whether this process itself is 64-bit (compile time on Windows).
  virtual bool Is64BitProcess() const = 0;

  virtual std::uint16_t GetSystemDefaultLangID() = 0;
  virtual std::uint16_t GetUserDefaultLangID() = 0;
  // GetACP / GetOEMCP: 1252, 936, 950, …
  virtual std::uint32_t GetACP() = 0;
  virtual std::uint32_t GetOEMCP() = 0;

  // Whether the thread's (else the process's) token holds the
  // Administrators group S-1-5-32-544. Any failure answers false.
  virtual bool IsAdministrator() = 0;

  // GetWindowsDirectory, GetSystemDirectory (as this process sees it: the
  // 32-bit view is still named "system32"), GetTempPath (with trailing
  // backslash). Empty with last error on failure.
  virtual WString GetWindowsDirectory() = 0;
  virtual WString GetSystemDirectory() = 0;
  virtual WString GetTempPath() = 0;
  // GetUserName: the account the calling thread runs as ("SYSTEM" for a
  // service such as the spooler). Empty with last error on failure.
  virtual WString GetUserName() = 0;
  // SHGetSpecialFolderPath(csidl, create).
  virtual bool SHGetSpecialFolderPath(int csidl, bool create, WString* path) = 0;
  // GetModuleFileName(NULL): this program's own path.
  virtual WString GetModuleFileName() = 0;
  virtual WString GetCurrentDirectory() = 0;
  // GetCommandLine() of this process, as Windows hands it over.
  virtual WString GetCommandLine() = 0;

  // The TrueType font families of `charset` (EnumFontFamiliesExW on the
  // screen), each once, in the order the system reports them.
  virtual std::vector<WString> EnumFontFamilies(std::uint8_t charset) = 0;

  // LoadLibrary(name): null with last error (kErrorModNotFound) when the
  // library cannot be loaded.
  virtual LibraryHandle LoadLibrary(WStringView name) = 0;
};

}  // namespace kit
