// The platform side of system detection: only the platform's types here.
#include "common/oscode/os_version.h"
#include "platform/system.h"
#include "platform/win32_errors.h"
#include "setup/app/system_detection.h"

namespace kit::setup {
namespace {

constexpr char16_t kKernel32[] = u"kernel32.dll";
constexpr char kIsWow64Process[] = "IsWow64Process";

}  // namespace

VersionFacts ReadVersionFacts(SystemFacts& system) {
  OsVersionInfo info;
  system.GetVersionEx(&info);
  SystemInfo native;
  if (!system.GetNativeSystemInfo(&native)) system.GetSystemInfo(&native);
  VersionFacts v;
  v.platform_id = info.platform_id;
  v.major = info.major;
  v.minor = info.minor;
  v.product_type = info.product_type;
  v.processor_architecture = native.processor_architecture;
  return v;
}

bool Detect64BitWindows(SystemFacts& system) {
  if (system.Is64BitProcess()) return true;
  LibraryHandle kernel = system.LoadLibrary(system.GetSystemDirectory() + u"\\" + kKernel32);
  if (!kernel) kernel = system.LoadLibrary(kKernel32);
  if (!kernel || !kernel->HasProc(kIsWow64Process)) return false;
  bool wow64 = false;
  if (system.IsWow64Process(&wow64)) return wow64;
  if (system.GetLastError() == win32::kErrorProcNotFound) return false;  // no entry point: before 64-bit Windows
  // The check failed: a 32-bit process on a 64-bit processor is on 64-bit
  // Windows (a 32-bit Windows there has no GetNativeSystemInfo answer of
  // AMD64), so taking it for 32-bit would install or remove the wrong files.
  SystemInfo native;
  return system.GetNativeSystemInfo(&native) && (native.processor_architecture == kProcessorArchitectureAmd64 ||
                                                 native.processor_architecture == kProcessorArchitectureIa64);
}

bool IsAdministrator(SystemFacts& system) { return system.IsAdministrator(); }

}  // namespace kit::setup
