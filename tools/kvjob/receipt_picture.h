// The picture the virtual printer draws into: a grey-level raster one pixel
// per printer dot, growing downwards as paper comes out. Paper coordinates
// count from the first printable dot; the margin beside the roll takes notes.
// Written as an 8-bit grey PNG.
//
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/kvjob/render_paper.h"

namespace kit::tools {

inline constexpr std::uint8_t kPaperWhite = 0xFF;
inline constexpr std::uint8_t kInk = 0x00;
inline constexpr std::uint8_t kMarginGrey = 0xD8;
inline constexpr std::uint8_t kNoteInk = 0x50;
inline constexpr std::uint8_t kCutGrey = 0x80;

class ReceiptPicture {
 public:
  explicit ReceiptPicture(const paper::Roll& roll = {});

  int width() const { return width_; }
  const paper::Roll& roll() const { return roll_; }
  int height() const { return height_; }
  const std::vector<std::uint8_t>& pixels() const { return pixels_; }
  std::uint8_t At(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }

  // Makes the picture at least `rows` high, up to the longest receipt.
  void Grow(int rows);
  // A dot of the printable width at paper coordinates; outside it, nothing.
  void Dot(int x, int y, std::uint8_t value = kInk);
  // A pixel anywhere in the picture (margin notes, cut lines); clipped.
  void Pixel(int x, int y, std::uint8_t value);
  // A dashed line across the whole roll at row `y`: the cut. A partial cut
  // leaves the middle of the paper standing.
  void DashedLine(int y, int dash, bool partial);

 private:
  paper::Roll roll_;
  int width_;
  int height_ = 0;
  std::vector<std::uint8_t> pixels_;
};

// The picture as a PNG file's bytes.
std::vector<std::uint8_t> EncodePng(const ReceiptPicture& picture);
// A PNG file's grey or colour pixels back as grey levels, row by row
// (tests and the benchmark compare pictures with it); nothing for a file
// that is not a PNG.
struct GreyImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
};
std::optional<GreyImage> DecodePng(const std::vector<std::uint8_t>& png);

}  // namespace kit::tools
