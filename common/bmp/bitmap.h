// A device-independent picture: what a decoded bitmap file holds and what a
// page draws into a frame control.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <vector>

namespace kit {

// Top-down rows of 0x00RRGGBB pixels.
struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;

  bool Empty() const { return width <= 0 || height <= 0; }
  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

}  // namespace kit
