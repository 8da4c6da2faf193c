// Builders of small source bitmaps for the logo conversion tests, and readers
// of single result bits.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace kit::logo::testing {

struct Bgr {
  std::uint8_t blue, green, red;
};

// A 24-bit BMP with the standard 54-byte headers; pixel(x, y) with y the
// stored row (0 = bottom).
std::vector<std::uint8_t> Make24(int width, int height, const std::function<Bgr(int x, int y)>& pixel);
// An 8-bit BMP with a full 256-entry grey palette (rows at 1078).
std::vector<std::uint8_t> Make8(int width, int height, const std::function<std::uint8_t(int x, int y)>& level);

// Result bit of pixel (x, y) of a one-bit file made by the converter: true is white.
bool WhiteAt(const std::vector<std::uint8_t>& mono, int x, int y);

}  // namespace kit::logo::testing
