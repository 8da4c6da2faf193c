// The plug-in's language texts: every text of its pages is looked up by
// section and key in the current language's text file, with a built-in
// English text as the fallback, into a buffer of fixed capacity.
//  - a missing file, section or key gives the built-in text;
//  - an empty value in the file gives an empty text;
//  - at most capacity - 1 characters are kept.
// The plug-in is UTF-16 throughout; its text files may be UTF-16LE with
// byte-order mark, UTF-8 or ANSI. This file is OS-independent.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/ini/profile_file.h"

namespace kit::plugin {

// The text capacities the pages use (characters, terminator included).
inline constexpr std::size_t kTextCapacityShort = 20;
inline constexpr std::size_t kTextCapacityName = 50;
inline constexpr std::size_t kTextCapacityLine = 256;
inline constexpr std::size_t kTextCapacityLong = 1024;

// Lookup (section, key, built-in text, capacity) in the text file at
// `text_file_path`, read through `files`.
std::u16string LookupText(const ini::FileSource& files, std::u16string_view text_file_path,
                          std::u16string_view section, std::u16string_view key,
                          std::u16string_view builtin, std::size_t capacity,
                          const ini::ProfileOptions& options = {});

// The same bound to one text file, parsed once; for a page that reloads a
// whole section of texts on a repaint.
class TextFile {
 public:
  TextFile(const ini::FileSource& files, std::u16string_view text_file_path,
           const ini::ProfileOptions& options = {});

  std::u16string Lookup(std::u16string_view section, std::u16string_view key,
                        std::u16string_view builtin, std::size_t capacity) const;

 private:
  ini::Profile profile_;
};

}  // namespace kit::plugin
