// This file is OS-independent.
#include "common/bmp/bitmap_decode.h"

#include "common/bmp/bmp.h"

namespace kit::bmp {
namespace {

constexpr std::uint32_t kCompressionBitfields = 3;  // BI_BITFIELDS: 32-bit rows with masks

std::uint32_t Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return (static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(g) << 8) | b;
}

}  // namespace

std::optional<Bitmap> DecodeBitmapFile(std::span<const std::uint8_t> file) {
  const auto fh = ReadFileHeader(file);
  const auto ih = ReadInfoHeader(file);
  if (!fh || !ih || fh->type != kSignature) return std::nullopt;
  const unsigned bits = ih->bits_per_pixel;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return std::nullopt;
  if (ih->compression != kCompressionNone && !(bits == 32 && ih->compression == kCompressionBitfields))
    return std::nullopt;
  const std::int64_t width = ih->width;
  const std::int64_t height = ih->height < 0 ? -static_cast<std::int64_t>(ih->height) : ih->height;
  if (width < 1 || height < 1 || width > kMaxBitmapSide || height > kMaxBitmapSide) return std::nullopt;

  std::vector<PaletteEntry> palette;
  if (bits <= 8) {
    std::size_t count = DeclaredPaletteCount(*ih);
    if (count == 0 || count > (1u << bits)) count = 1u << bits;
    auto read = ReadPalette(file, PaletteOffset(*ih), count);
    if (!read) return std::nullopt;
    palette = std::move(*read);
  }
  const auto stride = RowStride(width, bits);
  if (!stride || !RowsFit(file.size(), fh->pixel_offset, *stride, static_cast<std::size_t>(height)))
    return std::nullopt;

  Bitmap out;
  out.width = static_cast<int>(width);
  out.height = static_cast<int>(height);
  out.pixels.resize(static_cast<std::size_t>(width * height));
  const bool bottom_up = ih->height > 0;
  for (std::int64_t y = 0; y < height; ++y) {
    const std::int64_t stored = bottom_up ? height - 1 - y : y;
    const std::uint8_t* row = file.data() + fh->pixel_offset + static_cast<std::size_t>(stored) * *stride;
    for (std::int64_t x = 0; x < width; ++x) {
      std::uint32_t pixel = 0;
      if (bits >= 24) {
        const std::uint8_t* p = row + x * (bits / 8);
        pixel = Rgb(p[2], p[1], p[0]);
      } else {
        const std::size_t bit = static_cast<std::size_t>(x) * bits;
        const unsigned shift = 8 - bits - (bit % 8);
        const unsigned index = (row[bit / 8] >> shift) & ((1u << bits) - 1);
        if (index < palette.size()) pixel = Rgb(palette[index].red, palette[index].green, palette[index].blue);
      }
      out.pixels[static_cast<std::size_t>(y * width + x)] = pixel;
    }
  }
  return out;
}

}  // namespace kit::bmp
