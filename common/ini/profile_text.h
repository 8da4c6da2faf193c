// The text layer of private-profile (INI) files: how the bytes of a file are
// decoded into UTF-16 and encoded back, and the character rules the profile
// functions use (what counts as a space, names compared without case).
// This file is OS-independent.
#pragma once

#include <string>
#include <string_view>

#include "common/codepage/codepage.h"

namespace kit::ini {

using codepage::CodePage;

// How the text of a profile file is stored.
enum class TextEncoding {
  kAnsi,         // bytes in the system's ANSI code page
  kUtf8,         // UTF-8 without byte-order mark
  kUtf8WithBom,  // UTF-8 starting with EF BB BF
  kUtf16Le,      // UTF-16LE starting with FF FE
  kUtf16Be,      // UTF-16BE starting with FE FF
};

struct ProfileOptions {
  // The system's ANSI code page: how ANSI files are decoded and what the byte
  // (ANSI) functions take and return.
  CodePage ansi_code_page = CodePage::kWestern;
  // Windows reads a file without byte-order mark as ANSI. The plug-in's
  // language files may also be plain UTF-8; with this set, a file without
  // byte-order mark whose bytes are well-formed UTF-8 and not all ASCII is
  // read as UTF-8.
  bool utf8_without_bom = true;
};

struct DecodedText {
  TextEncoding encoding = TextEncoding::kAnsi;
  std::u16string text;
};

// Detects the encoding of a file's bytes and decodes them (byte-order mark
// removed). Never fails: bad sequences become replacement characters and an
// odd trailing byte of a UTF-16 file is dropped.
DecodedText DecodeProfileText(std::string_view bytes, const ProfileOptions& options);

// Encodes text in `encoding`, byte-order mark included where it has one.
std::string EncodeProfileText(std::u16string_view text, TextEncoding encoding, CodePage code_page);
// The same without the byte-order mark: text to put inside a file.
std::string EncodeProfileTextBody(std::u16string_view text, TextEncoding encoding,
                                  CodePage code_page);

// The characters the profile functions trim: tab, line feed, vertical tab,
// form feed, carriage return, space, and ^Z (an old end-of-file mark).
bool IsProfileSpace(char16_t c);
std::u16string_view TrimProfileSpaces(std::u16string_view text);

// Compares two names without regard to case (ASCII, Latin-1, Greek,
// Cyrillic and full-width Latin letters).
bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b);

}  // namespace kit::ini
