// The line structure of a profile file, shared by the reader and the writer.
// This file is OS-independent.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace kit::ini {

// One line of a decoded profile file. Offsets index the decoded text.
struct ProfileLine {
  enum class Kind { kBlank, kSection, kEntry };
  Kind kind = Kind::kBlank;
  std::size_t begin = 0;  // first character of the line
  std::size_t end = 0;    // one past its last character, line break excluded
  std::size_t next = 0;   // first character of the following line
  // kSection: the name between the brackets; kEntry: the key name. Trimmed,
  // and cut at an embedded NUL as the Windows functions see it.
  std::size_t name_begin = 0;
  std::size_t name_size = 0;
  // kEntry with '=': the value, leading and trailing spaces removed.
  bool has_value = false;
  std::size_t value_begin = 0;
  std::size_t value_size = 0;

  std::u16string_view Name(std::u16string_view text) const {
    return text.substr(name_begin, name_size);
  }
  std::u16string_view Value(std::u16string_view text) const {
    return text.substr(value_begin, value_size);
  }
};

// Splits decoded text into lines at CR LF, LF or a lone CR and classifies
// each line the way the Windows profile functions do:
//  - blank (only spaces);
//  - a section header: after trimming it starts with '[' and has a ']'; the
//    name is what lies between '[' and the last ']', trimmed; text after the
//    ']' is ignored;
//  - anything else is an entry: the key is the text before the first '='
//    (trimmed), the value the text after it; a line without '=' is a key
//    without value (comment lines starting with ';' included).
std::vector<ProfileLine> ScanProfileLines(std::u16string_view text);

// Cuts a name or value at its first NUL, as a C string would end there.
std::u16string_view CutAtNul(std::u16string_view text);

}  // namespace kit::ini
