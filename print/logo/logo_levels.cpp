// This file is OS-independent.
#include "print/logo/logo_levels.h"

#include <algorithm>
#include <cmath>

namespace kit::logo {

namespace {

// Rounds to a 32-bit float even where the compiler would keep intermediates
// in wider registers (x87): a volatile store cannot carry extra precision.
float F32(float value) {
  volatile float stored = value;
  return stored;
}

int ClampLevel(int value) { return std::clamp(value, 0, 255); }

constexpr std::array<std::array<std::uint8_t, 16>, 16> BuildDitherM4(
    const std::array<std::array<std::uint8_t, 8>, 8>& m) {
  std::array<std::array<std::uint8_t, 16>, 16> n{};
  for (int r = 0; r < 8; ++r) {
    for (int c = 0; c < 8; ++c) {
      const int base = 4 * m[r][c];
      n[r][c] = static_cast<std::uint8_t>(base);
      n[r][c + 8] = static_cast<std::uint8_t>(base + 3);
      n[r + 8][c] = static_cast<std::uint8_t>(base + 2);
      n[r + 8][c + 8] = static_cast<std::uint8_t>(base + 1);
    }
  }
  return n;
}

constexpr std::array<std::array<std::uint8_t, 8>, 8> kM3 = {{
    {0, 32, 8, 40, 2, 34, 10, 42},
    {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38},
    {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},
    {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37},
    {63, 31, 55, 23, 61, 29, 53, 21},
}};

}  // namespace

const std::array<std::array<std::uint8_t, 8>, 8> kDitherM3 = kM3;
const std::array<std::array<std::uint8_t, 16>, 16> kDitherM4 = BuildDitherM4(kM3);

int AdjustLevel(int level, int contrast, int brightness) {
  int result;
  if (contrast >= 0) {
    if (level <= contrast) {
      result = 0;
    } else if (level >= 255 - contrast) {
      result = 255;
    } else {
      const float scale = F32(static_cast<float>((255 - 2 * contrast) / 255.0));
      result = static_cast<int>(F32(static_cast<float>(level - contrast) / scale));
    }
  } else {
    const float scale = F32(static_cast<float>(255.0 / (255 + 2 * contrast)));
    const float spread = F32(static_cast<float>(level) / scale);
    result = static_cast<int>(F32(spread - static_cast<float>(contrast)));
  }
  return ClampLevel(result + brightness);
}

int AdjustAroundMean(int level, int mean, int contrast, int brightness) {
  const double factor = contrast >= 0 ? 1.0 + contrast / 10.0 : 1.0 - std::sqrt(static_cast<double>(-contrast)) / 10.0;
  const float k = F32(static_cast<float>(factor));
  const float spread = F32(static_cast<float>(level - mean) * k);
  const int result = static_cast<int>(F32(spread + static_cast<float>(mean)));
  return ClampLevel(result + brightness);
}

LevelTable MakeLevelTable(int contrast, int brightness) {
  LevelTable table{};
  for (int v = 0; v < 256; ++v) table[v] = static_cast<std::uint8_t>(AdjustLevel(v, contrast, brightness));
  return table;
}

LevelTable MakeAroundMeanTable(int mean, int contrast, int brightness) {
  LevelTable table{};
  for (int v = 0; v < 256; ++v) {
    table[v] = static_cast<std::uint8_t>(AdjustAroundMean(v, mean, contrast, brightness));
  }
  return table;
}

}  // namespace kit::logo
