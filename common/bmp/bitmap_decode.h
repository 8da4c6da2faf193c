// A bitmap file loaded as a window paints it: an uncompressed Windows BMP
// of 1, 4, 8, 24 or 32 bits per pixel turned into top-down RGB pixels, every
// offset checked against the file's real size. Anything else (compressed,
// truncated, absurdly large) does not load. Used by the wizard's left band,
// the logo preview of the Download page and the watermark preview.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "common/bmp/bitmap.h"

namespace kit::bmp {

// The largest picture that loads, in pixels per side.
inline constexpr std::int32_t kMaxBitmapSide = 8192;

std::optional<Bitmap> DecodeBitmapFile(std::span<const std::uint8_t> file);

}  // namespace kit::bmp
