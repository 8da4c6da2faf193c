// The UI layer's text conversions, over the kit's code-page conversion.
#include "ui/text.h"

#include <atomic>

#include "common/codepage/codepage.h"

namespace kit::ui {
namespace {

std::atomic<unsigned> g_ansi_code_page{kCodePageWestern};

codepage::CodePage Current() {
  switch (g_ansi_code_page.load()) {
    case kCodePageSimplifiedChinese: return codepage::CodePage::kSimplifiedChinese;
    case kCodePageTraditionalChinese: return codepage::CodePage::kTraditionalChinese;
    default: return codepage::CodePage::kWestern;
  }
}

}  // namespace

void SetAnsiCodePage(unsigned code_page) { g_ansi_code_page = code_page; }
unsigned AnsiCodePage() { return g_ansi_code_page; }

std::u16string FromAnsi(std::string_view bytes) { return codepage::AnsiToUtf16(bytes, Current()); }
std::string ToAnsi(std::u16string_view text) { return codepage::Utf16ToAnsi(text, Current()); }
std::u16string FromUtf8(std::string_view bytes) { return codepage::Utf8ToUtf16(bytes); }
std::string ToUtf8(std::u16string_view text) { return codepage::Utf16ToUtf8(text); }

}  // namespace kit::ui
