// Conversion between the ANSI code pages the kit runs under and Unicode.
//
// The setup wizard, the USB installer and the uninstaller keep their texts as
// bytes in the system's ANSI code page (936 simplified Chinese, 950
// traditional Chinese, 1252 western); the plug-in keeps UTF-16. Language and
// configuration files may be stored in either form, or in UTF-8.
//
// Bad input never fails a conversion. The ANSI conversions give exactly what
// Windows' MultiByteToWideChar and WideCharToMultiByte give with no flags:
// a byte sequence the code page does not map becomes '?' (a lead byte takes
// the byte after it unless that is NUL or missing), a code unit the code page
// cannot hold becomes its best fit or '?' (a surrogate pair becomes "??").
// Malformed UTF-8 becomes the replacement character U+FFFD.
//
// The UTF-8 conversions are portable; the ANSI code pages go through
// MultiByteToWideChar/WideCharToMultiByte on Windows, and on Linux through
// iconv corrected by a table recorded from the Windows conversion.
#pragma once

#include <string>
#include <string_view>

namespace kit::codepage {

// The ANSI code pages of the systems the kit supports.
enum class CodePage : unsigned {
  kSimplifiedChinese = 936,
  kTraditionalChinese = 950,
  kWestern = 1252,
};

// What malformed UTF-8 becomes in UTF-16 (U+FFFD).
inline constexpr char16_t kReplacementCharacter = u'\uFFFD';
// What a character missing from an ANSI code page becomes, and what an
// unmapped byte sequence of one decodes to.
inline constexpr char kDefaultAnsiCharacter = '?';

// The code page Windows uses as the ANSI code page for a language id, as the
// kit's programs choose their language files (0x0804 simplified Chinese;
// 0x0404, 0x0C04, 0x1004 traditional Chinese; anything else western).
CodePage CodePageForLanguage(unsigned language_id);

// Whether `byte` starts a double-byte character in the code page (0x81 to
// 0xFE in 936 and 950; none in 1252). Windows reads such a byte together with
// the byte after it, unless that is NUL or the text ends.
bool IsLeadByte(unsigned char byte, CodePage code_page);

// ANSI bytes <-> UTF-16.
std::u16string AnsiToUtf16(std::string_view bytes, CodePage code_page);
std::string Utf16ToAnsi(std::u16string_view text, CodePage code_page);

// UTF-8 <-> UTF-16. Malformed UTF-8 (overlong forms, surrogates, bytes out of
// place, a cut sequence) decodes to U+FFFD per maximal bad subpart; an
// unpaired surrogate in UTF-16 encodes as U+FFFD.
std::u16string Utf8ToUtf16(std::string_view bytes);
std::string Utf16ToUtf8(std::u16string_view text);

// True when `bytes` is well-formed UTF-8 (the empty text included).
bool IsValidUtf8(std::string_view bytes);

// ANSI bytes <-> UTF-8, through UTF-16.
std::string AnsiToUtf8(std::string_view bytes, CodePage code_page);
std::string Utf8ToAnsi(std::string_view bytes, CodePage code_page);

}  // namespace kit::codepage
