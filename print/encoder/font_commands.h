// The bytes that select the printer's resident fonts and place text: the
// selection a font's metrics carry (face, magnification, code page), the
// bytes that undo it, and a line position.
//
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace kit::print::commands {

struct TextFont {
  bool font_b = false;      // Font A (false) or Font B
  int across = 1, down = 1; // magnification, 1 to 8 each way
  std::uint8_t code_page = 0;  // n of 1B 74 n
};

// 1B 21 f, 1D 21 ((across - 1) << 4 | (down - 1)), 1B 74 n. Nothing for a
// magnification outside 1..8.
std::optional<std::vector<std::uint8_t>> SelectFontBytes(const TextFont& font);
// Back to Font A at normal size: 1D 21 00, 1B 21 00. The code page stays.
std::vector<std::uint8_t> UnselectFontBytes();
// 1B 24 nL nH: the next character at `dots` from the line's left edge;
// nothing for a position outside 0..65535.
std::optional<std::vector<std::uint8_t>> PositionBytes(int dots);

}  // namespace kit::print::commands
