// Text representation of the UI layer and its one conversion point.
//
// The UI layer holds every text as UTF-16 (std::u16string), the natural form
// for the wide Win32 functions. The plug-in is UTF-16 already. The ANSI
// programs (setup wizard, uninstaller, USB installer) hold bytes in the
// system ANSI code page and convert here, and only here, when a text enters
// or leaves a dialog, through the kit's code-page conversion
// (common/codepage). This file is OS-independent.
#pragma once

#include <string>
#include <string_view>

namespace kit::ui {

// Code pages the kit's ANSI programs run under.
inline constexpr unsigned kCodePageWestern = 1252;
inline constexpr unsigned kCodePageSimplifiedChinese = 936;
inline constexpr unsigned kCodePageTraditionalChinese = 950;

// The code page the ANSI programs' texts are in; set once at start-up from
// the system's ANSI code page.
void SetAnsiCodePage(unsigned code_page);
unsigned AnsiCodePage();

// ANSI program text -> UI text, and back, as the system's conversion does
// with no flags: bytes that are not valid in the code page become '?', and
// characters it cannot hold take their best-fit byte or '?'.
std::u16string FromAnsi(std::string_view bytes);
std::string ToAnsi(std::u16string_view text);

// UTF-8 for terminals, script files and test messages.
std::u16string FromUtf8(std::string_view bytes);
std::string ToUtf8(std::u16string_view text);

}  // namespace kit::ui
