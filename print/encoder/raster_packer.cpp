// This file is OS-independent.
#include "print/encoder/raster_packer.h"

#include <algorithm>
#include <cstring>

#include "print/encoder/command_bytes.h"
#include "print/encoder/event_operations.h"

namespace kit::print::encoder {
namespace {

constexpr int kBitsPerByte = 8;

std::uint8_t LastByteMask(int width_dots) {
  const int bits = width_dots % kBitsPerByte;
  return bits == 0 ? 0xFF : static_cast<std::uint8_t>(0xFF << (kBitsPerByte - bits));
}

}  // namespace

RasterPacker::RasterPacker(Bytes& out, int width_dots, Leading leading)
    : out_(out),
      width_bytes_(static_cast<std::size_t>(std::max(width_dots, 0) + kBitsPerByte - 1) / kBitsPerByte),
      leading_(leading),
      last_mask_(LastByteMask(std::max(width_dots, 0))) {
  block_.reserve(width_bytes_ * kMaxBlockRows);
}

void RasterPacker::AddRows(std::span<const std::uint8_t> rows, std::size_t stride, std::size_t count) {
  if (width_bytes_ == 0 || stride < width_bytes_) return;
  for (std::size_t r = 0; r < count; ++r) {
    const std::size_t at = r * stride;
    if (rows.size() < at + width_bytes_) return;
    AddRow(rows.data() + at);
  }
}

void RasterPacker::AddBlankRows(std::size_t count) {
  if (count == 0 || (!printed_ && leading_ == Leading::kDropped)) return;
  FlushBlock();
  blank_rows_ += count;
}

void RasterPacker::AddRow(const std::uint8_t* row) {
  // The row's used width: up to its last byte with a printed dot.
  std::size_t used = width_bytes_;
  if ((row[used - 1] & last_mask_) == 0) {
    --used;
    while (used > 0 && row[used - 1] == 0) --used;
  }
  if (used == 0) return AddBlankRows(1);
  printed_ = true;
  FlushBlank();
  block_.insert(block_.end(), row, row + width_bytes_);
  block_.back() &= last_mask_;
  block_used_ = std::max(block_used_, used);
  if (++block_rows_ == kMaxBlockRows) FlushBlock();
}

void RasterPacker::FlushBlank() {
  AppendFeedDots(out_, static_cast<int>(std::min<std::size_t>(blank_rows_, 1u << 30)));
  blank_rows_ = 0;
}

void RasterPacker::FlushBlock() {
  if (block_rows_ == 0) return;
  const std::size_t x = block_used_, y = block_rows_;
  out_.insert(out_.end(), commands::kRasterBlockCommand.begin(), commands::kRasterBlockCommand.end());
  out_.insert(out_.end(), {commands::kRasterNormalSize, static_cast<std::uint8_t>(x & 0xFF),
                           static_cast<std::uint8_t>(x >> 8), static_cast<std::uint8_t>(y & 0xFF),
                           static_cast<std::uint8_t>(y >> 8)});
  const std::size_t start = out_.size();
  out_.resize(start + x * y);
  std::uint8_t* dst = out_.data() + start;
  for (std::size_t r = 0; r < y; ++r) std::memcpy(dst + r * x, block_.data() + r * width_bytes_, x);
  block_.clear();
  block_rows_ = 0;
  block_used_ = 0;
}

void RasterPacker::EndPage() {
  FlushBlock();
  blank_rows_ = 0;
  printed_ = false;
}

Bytes PackPage(std::span<const std::uint8_t> bits, std::size_t stride, std::size_t rows, int width_dots) {
  Bytes out;
  RasterPacker packer(out, width_dots);
  packer.AddRows(bits, stride, rows);
  packer.EndPage();
  return out;
}

}  // namespace kit::print::encoder
