// One page of dots as the rendering side holds it between the universal
// driver's bands and the printer: top-down rows, 1 bit a dot, the leftmost
// dot in the high bit, a 1 bit a printed dot.
//
// The page's layout settings change it in this order: zoom, then rotation,
// then the watermark. Rotation turns the printed part of the page (from its
// first printed row to its last) in its place, not the blank margins: a short
// receipt printed upside down does not start with the form's blank tail, and
// its top margin stays above it, so consecutive pages keep their gap.
//
// This file is OS-independent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kit::render {

class MonoPage {
 public:
  MonoPage() = default;
  MonoPage(int width, int height);

  int width() const { return width_; }
  int height() const { return height_; }
  std::size_t stride() const { return stride_; }
  const std::vector<std::uint8_t>& bits() const { return bits_; }

  bool Dot(int x, int y) const {
    return ((bits_[static_cast<std::size_t>(y) * stride_ + static_cast<std::size_t>(x) / 8] >> (7 - x % 8)) & 1) != 0;
  }
  void Set(int x, int y) {
    bits_[static_cast<std::size_t>(y) * stride_ + static_cast<std::size_t>(x) / 8] |=
        static_cast<std::uint8_t>(0x80 >> (x % 8));
  }
  std::uint8_t* Row(int y) { return bits_.data() + static_cast<std::size_t>(y) * stride_; }
  const std::uint8_t* Row(int y) const { return bits_.data() + static_cast<std::size_t>(y) * stride_; }

  // Rows [0, this) hold every printed dot: 0 for a blank page.
  int PrintedHeight() const;
  // The first row with a printed dot: the height for a blank page.
  int FirstPrintedRow() const;

 private:
  int width_ = 0, height_ = 0;
  std::size_t stride_ = 0;
  std::vector<std::uint8_t> bits_;
};

// The page scaled to `percent` of its size, anchored at its top left corner,
// on a page of the same size (nearest dot).
MonoPage Zoomed(const MonoPage& page, int percent);
// The printed part of the page (its first to its last printed row) turned by
// 180 degrees in its place, within the page's width.
void RotatePrintedPart(MonoPage& page);

}  // namespace kit::render
