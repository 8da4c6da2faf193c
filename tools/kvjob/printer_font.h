// The printer's two resident fonts as dot masks: Font A in a 12 x 24 cell
// and Font B in a 9 x 17 cell, drawn from the DejaVu Sans Mono face (a
// stand-in for the printer's own ROM font), and the code pages a job selects
// with ESC t that turn its bytes into characters.
//
// This file is OS-independent.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tools/kvjob/render_paper.h"

namespace kit::tools {

// A character's dots in its cell, row by row (1 prints).
struct Glyph {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> dots;
};

class PrinterFonts {
 public:
  PrinterFonts();
  ~PrinterFonts();
  PrinterFonts(const PrinterFonts&) = delete;
  PrinterFonts& operator=(const PrinterFonts&) = delete;

  // The glyph of a character in Font A (font 0) or Font B (font 1); a blank
  // cell when the face is missing or has no such character.
  const Glyph& Of(int font, char32_t character);

 private:
  struct Face;
  std::unique_ptr<Face> face_;
  std::map<std::pair<int, char32_t>, Glyph> cache_;
};

// The characters of the bytes 0..255 in the code page that ESC t n selects;
// null for a page this printer does not have. Each page is built once per
// process (a job of ESC @ and ESC t after ESC t costs no conversions).
struct CodePage {
  std::string name;
  std::array<char32_t, 256> characters{};
};
const CodePage* CodePageOf(std::uint8_t n);

}  // namespace kit::tools
