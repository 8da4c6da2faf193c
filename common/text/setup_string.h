// The setup wizard's language texts.
//
// Every text the wizard shows comes from its language file (chosen once by
// the system language) and is fetched by section and key through CMyString:
//  - a fetch reads at most 2047 characters, with the empty text as default;
//  - the first occurrence of each of the two-character sequences "\1", "\2"
//    and "\3" (a backslash and a digit) becomes a carriage return and line
//    feed; later occurrences stay as they are;
//  - each fetch returns its own copy of the text. (A single text buffer
//    shared by all readers and overwritten by every fetch would let a fetch
//    on the install worker thread change, or free, a text the dialog thread
//    is still showing; with copies every caller keeps the text it fetched.)
// The wizard is an ANSI program: texts are bytes in the system's ANSI code
// page. This file is OS-independent.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/ini/profile_file.h"

namespace kit::setup {

// The buffer a fetch reads into: 2048 bytes, so at most 2047 characters.
inline constexpr std::size_t kSetupTextCapacity = 2048;

// The wizard's language file below the package folder, by the system
// default language id ("language\setup_TCN.ini", "language\setup_CN.ini" or
// "language\setup_EN.ini").
std::string SetupLanguageFile(unsigned language_id);

class CMyString {
 public:
  // Binds the reader to `section` of the language file at `language_file`
  // (a Windows path in the ANSI code page of `options`), read through
  // `files`, which must outlive the reader.
  CMyString(const ini::FileSource& files, std::string language_file, std::string section,
            ini::ProfileOptions options = {});

  // Fetches the text of `key`.
  std::string Get(std::string_view key) const;

  const std::string& language_file() const { return language_file_; }
  const std::string& section() const { return section_; }

 private:
  const ini::FileSource& files_;
  std::string language_file_;
  std::string section_;
  ini::ProfileOptions options_;
};

// The line-break rule of the wizard's texts on its own: the first "\1",
// "\2" and "\3" each become CR LF.
std::string ExpandSetupLineBreaks(std::string text);

}  // namespace kit::setup
