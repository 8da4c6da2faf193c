// The printer's barcodes and QR codes as module patterns, encoded by libzint
// from the data bytes of 1D 6B m: the printer's data rules (check digits it
// adds, a UPC-A number zero-suppressed into UPC-E, Code128's "{A", "{B", "{C"
// code sets, Code39's start and stop stars) turned into what zint takes.
//
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kit::tools {

struct Symbol {
  int columns = 0;  // modules across
  int rows = 0;     // 1 for a barcode's bar pattern; the side of a QR code
  std::vector<std::uint8_t> modules;  // rows x columns, 1 dark
  std::string text;   // the human-readable line, as the printer prints it
  std::string name;   // the symbology's name
  std::string error;  // why nothing could be drawn (then no modules)
  std::string note;   // something the printer changed in the data
  bool two_widths = false;  // bars and spaces thin or thick (Code39, ITF, Codabar)
};

// The narrowest element width GS w sets and the widest, in dots.
inline constexpr int kMinBarWidth = 1, kMaxBarWidth = 6;

// The dots across of a barcode's one row, 1 printed: each module `width`
// dots wide, or for a two-width symbology its thin elements `width` dots and
// its thick ones as GS w's table has them (3 for 1, 5 for 2, 8 for 3, 10 for
// 4, 13 for 5, 15 for 6).
std::vector<std::uint8_t> BarDots(const Symbol& symbol, int width);

// A 1D barcode of symbology code m (0..6 or 65..73).
Symbol EncodeBarcode(std::uint8_t m, std::span<const std::uint8_t> data);
// A QR code; `letter` the error-correction letter (L, M, Q, H) of the job.
Symbol EncodeQr(std::uint8_t letter, std::uint8_t model, std::span<const std::uint8_t> data);

}  // namespace kit::tools
