// Conversion between the ANSI code pages the kit runs under and Unicode.
//
// The setup wizard, the USB installer and the uninstaller keep their texts as
// bytes in the system's ANSI code page (936 simplified Chinese, 950
// traditional Chinese, 1252 western); the plug-in keeps UTF-16. Language and
// configuration files may be stored in either form, or in UTF-8.
//
// Bad input never fails a conversion: a byte sequence that is not valid in the
// source encoding becomes a replacement character, and a character that the
// target code page cannot hold becomes the code page's default character '?'.
//
// The UTF-8 conversions are portable; the ANSI code pages go through iconv on
// Linux and through MultiByteToWideChar/WideCharToMultiByte on Windows.
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

// What an undecodable byte sequence becomes in UTF-16 (U+FFFD).
inline constexpr char16_t kReplacementCharacter = u'\uFFFD';
// What a character missing from an ANSI code page becomes.
inline constexpr char kDefaultAnsiCharacter = '?';

// The code page Windows uses as the ANSI code page for a language id, as the
// kit's programs choose their language files (0x0804 simplified Chinese;
// 0x0404, 0x0C04, 0x1004 traditional Chinese; anything else western).
CodePage CodePageForLanguage(unsigned language_id);

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
