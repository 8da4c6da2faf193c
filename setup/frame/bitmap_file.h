// A bitmap file loaded as the frame paints it: an uncompressed Windows BMP
// of 1, 4, 8, 24 or 32 bits per pixel turned into top-down RGB pixels.
// Anything else (compressed, truncated, absurdly large) does not load.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "ui/bitmap.h"

namespace kit::setup {

// The largest picture the wizard loads, in pixels per side.
inline constexpr std::int32_t kMaxBitmapSide = 8192;

std::optional<ui::Bitmap> DecodeBitmapFile(std::span<const std::uint8_t> file);

}  // namespace kit::setup
