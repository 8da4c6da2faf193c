// This file is OS-independent.
#include "print/commands/logo_image.h"

#include <limits>

#include "common/bmp/bmp.h"

namespace kit::print::commands {
namespace {

constexpr unsigned kLogoBitsPerPixel = 1;
constexpr std::size_t kLogoPaletteCount = 2;
constexpr std::size_t kDotsPerGroup = 8;
// Bits kept in the last used byte of a row, for width mod 8 = 1..7.
constexpr std::uint8_t kLastByteMasks[8] = {0xFF, 0x80, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC, 0xFE};

bool IsBlack(const bmp::PaletteEntry& e) { return e.red == 0 && e.green == 0 && e.blue == 0; }
bool IsWhite(const bmp::PaletteEntry& e) { return e.red == 0xFF && e.green == 0xFF && e.blue == 0xFF; }

// x bytes and the groups of eight rows each fit the command's 16-bit fields.
bool FitsTheCommand(std::size_t x, std::size_t height) {
  return x <= std::numeric_limits<std::uint16_t>::max() &&
         (height + kDotsPerGroup - 1) / kDotsPerGroup <= std::numeric_limits<std::uint16_t>::max();
}

}  // namespace

std::variant<LogoImage, LogoError> EncodeLogo(std::span<const std::uint8_t> file) {
  const auto file_header = bmp::ReadFileHeader(file);
  const auto info = bmp::ReadInfoHeader(file);
  if (!file_header || !info || file_header->type != bmp::kSignature) return LogoError::kNotBitmap;
  if (info->bits_per_pixel != kLogoBitsPerPixel || info->compression != bmp::kCompressionNone ||
      info->header_size < bmp::kInfoHeaderSize || info->width < 1 || info->height < 1)
    return LogoError::kFormat;

  const auto palette = bmp::ReadPalette(file, bmp::PaletteOffset(*info), kLogoPaletteCount);
  if (!palette) return LogoError::kPalette;
  bool invert = false;
  if (IsBlack((*palette)[0]) && IsWhite((*palette)[1]))
    invert = true;
  else if (!(IsWhite((*palette)[0]) && IsBlack((*palette)[1])))
    return LogoError::kPalette;

  const auto stride = bmp::RowStride(info->width, kLogoBitsPerPixel);
  const std::size_t height = static_cast<std::size_t>(info->height);
  if (!stride || !FitsTheCommand(*stride, height)) return LogoError::kTooLarge;
  if (!bmp::RowsFit(file.size(), file_header->pixel_offset, *stride, height)) return LogoError::kShortData;
  return EncodeLogo(OneBitRows{static_cast<std::size_t>(info->width), height, *stride,
                               file.subspan(file_header->pixel_offset, *stride * height), !invert});
}

std::variant<LogoImage, LogoError> EncodeLogo(const OneBitRows& picture) {
  const std::size_t width = picture.width, height = picture.height, x = picture.stride;
  const bool invert = !picture.ones_print;
  if (width < 1 || height < 1 || x < (width + 7) / 8) return LogoError::kFormat;
  if (!FitsTheCommand(x, height)) return LogoError::kTooLarge;
  const std::size_t groups = (height + kDotsPerGroup - 1) / kDotsPerGroup;
  if (picture.rows.size() / x < height) return LogoError::kShortData;

  // The rows in stored order (bottom row first), padded with blank rows to
  // whole groups of eight; the blank rows come last here and so lie on top.
  const std::size_t rows = groups * kDotsPerGroup;
  std::vector<std::uint8_t> buffer(rows * x, 0);
  const std::size_t used_bytes = (width + 7) / 8;
  for (std::size_t r = 0; r < height; ++r) {
    const std::uint8_t* source = picture.rows.data() + r * x;
    std::uint8_t* row = buffer.data() + r * x;
    for (std::size_t b = 0; b < x; ++b) row[b] = invert ? static_cast<std::uint8_t>(~source[b]) : source[b];
    if (invert) {
      row[used_bytes - 1] &= kLastByteMasks[width % 8];
      for (std::size_t b = used_bytes; b < x; ++b) row[b] = 0;
    }
  }

  LogoImage logo;
  logo.x = static_cast<std::uint16_t>(x);
  logo.y = static_cast<std::uint16_t>(groups);
  logo.data.reserve(x * groups * kDotsPerGroup);
  for (std::size_t column = 0; column < x * 8; ++column) {
    const std::size_t byte_index = column / 8;
    const int shift = 7 - static_cast<int>(column % 8);
    for (std::size_t k = 0; k < groups; ++k) {
      std::uint8_t out = 0;
      for (std::size_t j = 0; j < kDotsPerGroup; ++j) {
        // Printer row t from the top is buffer row rows - 1 - t.
        const std::size_t buffer_row = rows - 1 - (k * kDotsPerGroup + j);
        const std::uint8_t dot = (buffer[buffer_row * x + byte_index] >> shift) & 1;
        out = static_cast<std::uint8_t>(out | (dot << (7 - j)));
      }
      logo.data.push_back(out);
    }
  }
  return logo;
}

std::vector<std::uint8_t> LogoHeader(const LogoImage& logo) {
  return {static_cast<std::uint8_t>(logo.x & 0xFF), static_cast<std::uint8_t>(logo.x >> 8),
          static_cast<std::uint8_t>(logo.y & 0xFF), static_cast<std::uint8_t>(logo.y >> 8)};
}

}  // namespace kit::print::commands
