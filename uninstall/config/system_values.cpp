// This file is OS-independent.
#include "uninstall/config/system_values.h"

#include "common/oscode/os_code.h"

namespace kit::uninstall {
namespace {

constexpr char16_t kKernel32[] = u"kernel32.dll";
constexpr char kIsWow64Process[] = "IsWow64Process";

}  // namespace

int ReadOsCode(SystemFacts& system) {
  OsVersionInfo info;
  system.GetVersionEx(&info);
  SystemInfo native;
  if (!system.GetNativeSystemInfo(&native)) system.GetSystemInfo(&native);
  OsVersion v;
  v.platform_id = info.platform_id;
  v.major = info.major;
  v.minor = info.minor;
  v.product_type = info.product_type;
  v.processor_architecture = native.processor_architecture;
  return ClassifyOs(v);
}

bool ReadRedirectionFlag(SystemFacts& system) {
  if (system.Is64BitProcess()) return true;
  LibraryHandle kernel = system.LoadLibrary(system.GetSystemDirectory() + u"\\" + kKernel32);
  if (!kernel) kernel = system.LoadLibrary(kKernel32);
  if (!kernel || !kernel->HasProc(kIsWow64Process)) return false;
  bool wow64 = false;
  return system.IsWow64Process(&wow64) && wow64;
}

codepage::CodePage AnsiCodePage(SystemFacts& system) {
  switch (system.GetACP()) {
    case 936: return codepage::CodePage::kSimplifiedChinese;
    case 950: return codepage::CodePage::kTraditionalChinese;
    default: return codepage::CodePage::kWestern;
  }
}

bool UsesChineseFont(unsigned language_id) {
  return language_id == 1028 || language_id == 2052 || language_id == 3076 || language_id == 4100;
}

}  // namespace kit::uninstall
