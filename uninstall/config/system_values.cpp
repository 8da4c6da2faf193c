// This file is OS-independent.
#include "uninstall/config/system_values.h"

#include "common/oscode/os_code.h"
#include "common/oscode/os_version.h"
#include "setup/app/system_detection.h"

namespace kit::uninstall {

// The uninstaller classifies Windows and detects 64-bit Windows exactly as
// the setup wizard does.
int ReadOsCode(SystemFacts& system) { return ClassifyOs(setup::ReadOsVersion(system)); }

bool ReadRedirectionFlag(SystemFacts& system) { return setup::Detect64BitWindows(system); }

bool UsesChineseFont(unsigned language_id) { return setup::IsChineseLanguage(static_cast<std::uint16_t>(language_id)); }

codepage::CodePage AnsiCodePage(SystemFacts& system) {
  switch (system.GetACP()) {
    case 936: return codepage::CodePage::kSimplifiedChinese;
    case 950: return codepage::CodePage::kTraditionalChinese;
    default: return codepage::CodePage::kWestern;
  }
}

}  // namespace kit::uninstall
