// The uninstaller's language texts.
//
// Every text the uninstaller shows, its log lines included, comes from one
// language file chosen by the system language, fetched through CMyString:
//  - an instance is bound to one section, and records the file's path (the
//    current directory followed by the chosen file) when it is constructed;
//  - a lookup reads the value with the empty text as default into a
//    1024-byte buffer (at most 1023 characters), and replaces the first
//    occurrence of the two characters backslash and "n" by carriage return
//    and line feed (later ones stay as they are);
//  - each lookup returns its own copy of the text. (One buffer shared by all
//    instances, overwritten by every lookup and cleared whenever any
//    instance is destroyed, would empty or change a log line still in use;
//    with copies every caller keeps the text it looked up.)
// The uninstaller is an ANSI program: texts are bytes in the system's ANSI
// code page. This file is OS-independent.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/ini/profile_file.h"

namespace kit::uninstall {

// The text buffer: 1024 bytes, so at most 1023 characters.
inline constexpr std::size_t kUninstallTextCapacity = 1024;

// The language file, relative to the current directory, by the system
// default language id ("\language\uninstall_CN.ini" for 2052,
// "\language\uninstall_TCN.ini" for 1028, 3076 and 4100,
// "\language\uninstall_EN.ini" otherwise).
std::string UninstallLanguageFile(unsigned language_id);

class CMyString {
 public:
  // Binds the reader to `section` of `current_directory` + `language_file`,
  // read through `files`, which must outlive the reader.
  CMyString(const ini::FileSource& files, std::string_view current_directory,
            std::string_view language_file, std::string section, ini::ProfileOptions options = {});
  // Looks `key` up.
  std::string Get(std::string_view key) const;

  const std::string& path() const { return path_; }
  const std::string& section() const { return section_; }

 private:
  const ini::FileSource& files_;
  std::string path_;
  std::string section_;
  ini::ProfileOptions options_;
};

// The uninstaller's line-break rule on its own: the first backslash-n
// becomes CR LF.
std::string ExpandUninstallLineBreak(std::string text);

}  // namespace kit::uninstall
