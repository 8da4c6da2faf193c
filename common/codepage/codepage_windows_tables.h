// Where Windows' conversions of the kit's code pages differ from glibc's
// iconv: best-fit mappings (U+3000 becomes a space in code page 1252), the
// user-defined areas of 936 and 950, and characters the two map apart.
// The Linux build applies these on top of what iconv gives for each single
// code unit and each single byte or double-byte character.
// The data is generated (tables/make_tables.py); this file is OS-independent.
#pragma once

#include <cstdint>
#include <span>

#include "common/codepage/codepage.h"

namespace kit::codepage {

// `count` consecutive values from `from` map to consecutive values from `to`.
// A code is a byte below 0x100, else a lead byte (high) and a trail byte.
struct TableRun {
  std::uint16_t from;
  std::uint16_t to;
  std::uint16_t count;
};

struct WindowsTable {
  std::span<const TableRun> encode;  // UTF-16 code unit -> code
  std::span<const TableRun> decode;  // code -> UTF-16 code unit
};

WindowsTable WindowsDifferences(CodePage code_page);

}  // namespace kit::codepage
