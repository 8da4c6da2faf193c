// Level transfers and dither matrices of the logo conversion.
//
// The contrast and brightness transfers keep the exact rounding of the
// printer driver's converter: factors rounded to 32-bit float, arithmetic in
// 32-bit float, truncation towards zero. Every step is forced through a
// 32-bit float, so x87 builds (32-bit Windows) give the same levels as SSE.
// This file is OS-independent.
#pragma once

#include <array>
#include <cstdint>

#include "common/bmp/grey.h"

namespace kit::logo {

// Settings range of the contrast and brightness trackbars.
inline constexpr int kMinAdjustment = -100;
inline constexpr int kMaxAdjustment = 100;

// Contrast and brightness transfer of one level (0..255).
int AdjustLevel(int level, int contrast, int brightness);

// Mean-based transfer used by Dither M4 on 24-bit images: spreads a channel
// value away from (contrast > 0) or towards (contrast < 0) the channel's mean.
int AdjustAroundMean(int level, int mean, int contrast, int brightness);

// The transfer of every level 0..255 for one setting, so that the per-pixel
// work is a table lookup.
using LevelTable = std::array<std::uint8_t, 256>;
LevelTable MakeLevelTable(int contrast, int brightness);
LevelTable MakeAroundMeanTable(int mean, int contrast, int brightness);

// Grey level of a 24-bit pixel from its (adjusted) channels.
using bmp::GreyLevel;

// 8 x 8 ordered-dither matrix of Dither M3, entries 0..63.
inline constexpr int kDitherM3Size = 8;
extern const std::array<std::array<std::uint8_t, 8>, 8> kDitherM3;

// 16 x 16 ordered-dither matrix of Dither M4, entries 0..255, built from the
// 8 x 8 one: 4m in the top-left quarter, 4m + 3 top-right, 4m + 2
// bottom-left, 4m + 1 bottom-right.
inline constexpr int kDitherM4Size = 16;
extern const std::array<std::array<std::uint8_t, 16>, 16> kDitherM4;

}  // namespace kit::logo
