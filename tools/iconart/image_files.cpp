// This file is OS-independent.
#include "tools/iconart/image_files.h"

#include <algorithm>
#include <optional>

#include "common/bmp/bmp.h"

namespace kit::iconart {
namespace {

std::size_t Stride(int width, unsigned bits) { return *bmp::RowStride(width, bits); }

std::uint32_t PackedRgb(const Rgba& p) {
  return (static_cast<std::uint32_t>(p.r) << 16) | (static_cast<std::uint32_t>(p.g) << 8) | p.b;
}

// The picture's distinct colours in ascending 0xRRGGBB order, or nothing
// once there are more than a palette holds.
std::optional<std::vector<std::uint32_t>> PaletteOf(const Image& image) {
  std::vector<std::uint32_t> colours;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const std::uint32_t c = PackedRgb(image.At(x, y));
      const auto at = std::lower_bound(colours.begin(), colours.end(), c);
      if (at != colours.end() && *at == c) continue;
      if (colours.size() == kBitmapMaxPaletteColours) return std::nullopt;
      colours.insert(at, c);
    }
  }
  return colours;
}

}  // namespace

std::size_t IconImageSize(int width, int height) {
  return bmp::kInfoHeaderSize + (Stride(width, kIconBitsPerPixel) + Stride(width, 1)) * height;
}

std::vector<std::uint8_t> IconFile(const std::vector<Image>& images) {
  std::vector<std::uint8_t> out;
  bmp::AppendU16(out, 0);
  bmp::AppendU16(out, kIconFileType);
  bmp::AppendU16(out, static_cast<std::uint16_t>(images.size()));
  std::size_t offset = kIconDirSize + kIconEntrySize * images.size();
  for (const Image& image : images) {
    out.push_back(static_cast<std::uint8_t>(image.width));
    out.push_back(static_cast<std::uint8_t>(image.height));
    out.push_back(0);  // no palette
    out.push_back(0);  // reserved
    bmp::AppendU16(out, 1);  // planes
    bmp::AppendU16(out, kIconBitsPerPixel);
    const std::size_t size = IconImageSize(image.width, image.height);
    bmp::AppendU32(out, static_cast<std::uint32_t>(size));
    bmp::AppendU32(out, static_cast<std::uint32_t>(offset));
    offset += size;
  }
  for (const Image& image : images) {
    bmp::InfoHeader info;
    info.width = image.width;
    info.height = image.height * 2;  // colour rows, then mask rows
    info.bits_per_pixel = kIconBitsPerPixel;
    info.image_size = static_cast<std::uint32_t>(IconImageSize(image.width, image.height) - bmp::kInfoHeaderSize);
    bmp::AppendInfoHeader(out, info);
    for (int y = image.height - 1; y >= 0; --y) {
      for (int x = 0; x < image.width; ++x) {
        const Rgba& p = image.At(x, y);
        out.insert(out.end(), {p.b, p.g, p.r, p.a});
      }
    }
    // AND mask: a set bit lets the screen show through.
    const std::size_t mask_stride = Stride(image.width, 1);
    for (int y = image.height - 1; y >= 0; --y) {
      std::vector<std::uint8_t> row(mask_stride, 0);
      for (int x = 0; x < image.width; ++x)
        if (image.At(x, y).a < kMaskOpaqueAlpha) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      out.insert(out.end(), row.begin(), row.end());
    }
  }
  return out;
}

std::vector<std::uint8_t> BitmapFile(const Image& image) {
  const auto colours = PaletteOf(image);
  const unsigned bits = !colours                                     ? kBitmapTrueColourBitsPerPixel
                        : colours->size() <= kBitmapMaxNibbleColours ? kBitmapNibbleBitsPerPixel
                                                                     : kBitmapPaletteBitsPerPixel;
  const std::size_t palette_bytes = colours ? colours->size() * bmp::kPaletteEntrySize : 0;
  const std::size_t stride = Stride(image.width, bits);
  const std::size_t pixels = stride * image.height;
  std::vector<std::uint8_t> out;
  bmp::FileHeader file;
  file.file_size = static_cast<std::uint32_t>(bmp::kHeadersSize + palette_bytes + pixels);
  file.pixel_offset = static_cast<std::uint32_t>(bmp::kHeadersSize + palette_bytes);
  bmp::AppendFileHeader(out, file);
  bmp::InfoHeader info;
  info.width = image.width;
  info.height = image.height;  // bottom row first
  info.bits_per_pixel = static_cast<std::uint16_t>(bits);
  info.image_size = static_cast<std::uint32_t>(pixels);
  if (colours) info.colours_used = static_cast<std::uint32_t>(colours->size());
  bmp::AppendInfoHeader(out, info);
  if (colours) {
    std::vector<bmp::PaletteEntry> palette;
    for (const std::uint32_t c : *colours)
      palette.push_back({static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8),
                         static_cast<std::uint8_t>(c >> 16), 0});
    bmp::AppendPalette(out, palette);
  }
  for (int y = image.height - 1; y >= 0; --y) {
    const std::size_t start = out.size();
    out.resize(start + stride, 0);
    for (int x = 0; x < image.width; ++x) {
      const Rgba& p = image.At(x, y);
      if (colours) {
        // Palette indices, the leftmost pixel in the high bits of a byte.
        const auto at = std::lower_bound(colours->begin(), colours->end(), PackedRgb(p));
        const auto index = static_cast<unsigned>(at - colours->begin());
        const std::size_t bit = static_cast<std::size_t>(x) * bits;
        out[start + bit / 8] |= static_cast<std::uint8_t>(index << (8 - bits - bit % 8));
      } else {
        const std::size_t at = start + static_cast<std::size_t>(x) * 3;
        out[at] = p.b;
        out[at + 1] = p.g;
        out[at + 2] = p.r;
      }
    }
  }
  return out;
}

}  // namespace kit::iconart
