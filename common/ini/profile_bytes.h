// The lines of a profile file as ranges of its bytes, so that an edit can
// replace the bytes of one line and keep every other byte of the file.
// This file is OS-independent.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "common/ini/profile_text.h"

namespace kit::ini {

// One line of a file. Offsets index the file's bytes.
struct ByteLine {
  std::size_t begin = 0;  // first byte of the line
  std::size_t end = 0;    // one past its last byte, line break excluded
  std::size_t next = 0;   // first byte of the following line
};

struct ByteLines {
  std::size_t text_begin = 0;  // after the byte-order mark
  std::size_t text_end = 0;    // before a stray last byte of a UTF-16 file
  std::vector<ByteLine> lines;
};

// Splits a file's bytes into lines exactly where the decoded text breaks
// (CR LF, LF or a lone CR), so that line i here is line i of
// ScanProfileLines(DecodeProfileText(bytes).text): UTF-16 by code units, and
// in a double-byte code page a lead byte takes the byte after it, as the
// decoder does, even when that byte is a CR or LF.
ByteLines SplitByteLines(std::string_view bytes, TextEncoding encoding, CodePage code_page);

}  // namespace kit::ini
