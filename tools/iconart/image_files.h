// The two file formats the resource compiler takes for the kit's artwork:
// icon files (.ico: a directory of images, each a 32-bit BGRA picture with
// its one-bit AND mask) and bitmap files (.bmp: bottom row first, 4- or
// 8-bit with a palette when the picture has few enough colours, else
// 24-bit).
// Written field by field at their little-endian offsets.
// This file is OS-independent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/iconart/canvas.h"

namespace kit::iconart {

// Icon directory (ICONDIR): reserved, type, count.
inline constexpr std::size_t kIconDirSize = 6;
inline constexpr std::uint16_t kIconFileType = 1;
// One directory entry (ICONDIRENTRY): width, height, colour count, reserved,
// planes, bits per pixel, bytes of the image, offset of the image.
inline constexpr std::size_t kIconEntrySize = 16;
inline constexpr std::uint16_t kIconBitsPerPixel = 32;
// An icon image's alpha at or above this counts as opaque in the AND mask,
// which systems without alpha blending use alone.
inline constexpr std::uint8_t kMaskOpaqueAlpha = 128;

// Bytes of one icon image: its info header (height doubled: the colour
// picture and the mask), the BGRA rows and the mask rows (each padded to
// 32 bits).
std::size_t IconImageSize(int width, int height);

// An .ico file holding `images` in the order given (each at most 255
// pixels a side).
std::vector<std::uint8_t> IconFile(const std::vector<Image>& images);

// Bitmap pictures of at most this many distinct colours are stored as
// palette indices, 4 bits a pixel up to 16 colours, else 8 bits (a sixth or
// a third of the 24-bit size, the same pixels); richer ones as 24-bit BGR.
inline constexpr std::size_t kBitmapMaxPaletteColours = 256;
inline constexpr unsigned kBitmapPaletteBitsPerPixel = 8;
inline constexpr std::size_t kBitmapMaxNibbleColours = 16;
inline constexpr unsigned kBitmapNibbleBitsPerPixel = 4;
inline constexpr unsigned kBitmapTrueColourBitsPerPixel = 24;

// A .bmp file of `image`; alpha is ignored (pictures are opaque). A
// palettized file lists exactly the picture's colours (colours_used), in
// ascending 0xRRGGBB order, right after the info header.
std::vector<std::uint8_t> BitmapFile(const Image& image);

}  // namespace kit::iconart
