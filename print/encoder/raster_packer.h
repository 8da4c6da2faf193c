// Packs a page of dots into the printer's raster blocks (1D 76 30), handed
// over band by band as a renderer produces it.
//
// Rows are 1 bit a dot, the leftmost dot in the high bit, a 1 bit a printed
// dot; only the first width_dots of a row count (padding bits are cleared).
// A run of blank rows is not sent as dots but as a paper feed (1B 4A), and
// only once printed rows follow: blank rows at the end of a page are dropped,
// so a short receipt on a long page ends where its print ends. A packer made
// with Leading::kDropped drops the blank rows before a page's first printed
// row as well, so that a receipt also starts where its print starts. White space
// on the right of a block is cut off (the block is as wide as its widest
// row); a block holds at most kMaxBlockRows rows.
//
// This file is OS-independent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kit::print::encoder {

using Bytes = std::vector<std::uint8_t>;

// Rows of one raster block: about 36 mm at 180 dpi, small enough for the
// printer's receive buffer. A choice.
inline constexpr std::size_t kMaxBlockRows = 256;

// The blank rows before a page's first printed row: fed as paper (the
// page's own layout, as a page drawn on a form needs) or dropped.
enum class Leading { kFed, kDropped };

class RasterPacker {
 public:
  RasterPacker(Bytes& out, int width_dots, Leading leading = Leading::kFed);

  // `count` rows, each `stride` bytes apart in `rows` (stride at least the
  // row's (width_dots + 7) / 8 bytes). Fewer bytes than count rows need add
  // only the whole rows they hold.
  void AddRows(std::span<const std::uint8_t> rows, std::size_t stride, std::size_t count);
  // One blank row, or many: cheaper than handing over zero bytes.
  void AddBlankRows(std::size_t count);
  // Sends the rows still held; blank rows pending at the end are dropped.
  void EndPage();

  std::size_t width_bytes() const { return width_bytes_; }
  // Blank rows waiting for a printed row to follow them.
  std::size_t pending_blank_rows() const { return blank_rows_; }

 private:
  void AddRow(const std::uint8_t* row);
  void FlushBlock();
  void FlushBlank();

  Bytes& out_;
  std::size_t width_bytes_;
  Leading leading_;
  bool printed_ = false;        // a printed row came on this page
  std::uint8_t last_mask_;
  Bytes block_;                 // rows of width_bytes_ each
  std::size_t block_rows_ = 0;
  std::size_t block_used_ = 0;  // bytes of the widest row of the block
  std::size_t blank_rows_ = 0;
};

// A whole page at once: `rows` rows of `stride` bytes.
Bytes PackPage(std::span<const std::uint8_t> bits, std::size_t stride, std::size_t rows, int width_dots);

}  // namespace kit::print::encoder
