// This file is OS-independent.
#include "usbinstall/installer_context.h"

#include "common/codepage/codepage.h"
#include "usbinstall/os_code_bridge.h"

namespace kit::usbinstall {
namespace {

codepage::CodePage SystemCodePage(SystemFacts& system) {
  switch (system.GetACP()) {
    case 936: return codepage::CodePage::kSimplifiedChinese;
    case 950: return codepage::CodePage::kTraditionalChinese;
    default: return codepage::CodePage::kWestern;
  }
}

}  // namespace

int CurrentOsCode(SystemFacts& system) {
  OsVersionInfo info;
  if (!system.GetVersionEx(&info)) return 0;
  VersionFacts facts;
  facts.platform_id = info.platform_id;
  facts.major = info.major;
  facts.minor = info.minor;
  facts.product_type = info.product_type;
  SystemInfo native;
  if (!system.GetNativeSystemInfo(&native)) system.GetSystemInfo(&native);
  facts.processor_architecture = native.processor_architecture;
  return InstallerOsCode(facts);
}

WString Wide(SystemFacts& system, std::string_view ansi) {
  return codepage::AnsiToUtf16(ansi, SystemCodePage(system));
}

std::string Ansi(SystemFacts& system, WStringView wide) {
  return codepage::Utf16ToAnsi(wide, SystemCodePage(system));
}

WString FolderOf(WStringView path) {
  const auto slash = path.rfind(u'\\');
  return WString(slash == WStringView::npos ? path : path.substr(0, slash));
}

}  // namespace kit::usbinstall
