// This file is OS-independent.
#include "plugin/pages/watermark/watermark_picture.h"

#include "common/bmp/bmp.h"

namespace kit::plugin::watermark {
namespace {

constexpr unsigned kTrueColourBits = 24;
// The new picture is written under this suffix beside the old one.
constexpr char16_t kNewPictureSuffix[] = u".new";

std::size_t Stride24(std::int64_t width) { return *bmp::RowStride(width, kTrueColourBits); }

std::vector<std::uint8_t> Headers24(const bmp::InfoHeader& source, std::int32_t width, std::int32_t height) {
  const std::size_t stride = Stride24(width);
  const auto image = static_cast<std::uint32_t>(stride * static_cast<std::size_t>(height));
  std::vector<std::uint8_t> out;
  out.reserve(bmp::kHeadersSize + image);
  bmp::FileHeader file;
  file.file_size = static_cast<std::uint32_t>(bmp::kHeadersSize) + image;
  file.pixel_offset = kTrueColourOffset;
  bmp::AppendFileHeader(out, file);
  bmp::InfoHeader info;
  info.width = width;
  info.height = height;
  info.bits_per_pixel = kTrueColourBits;
  info.image_size = image;
  info.x_pixels_per_meter = source.x_pixels_per_meter;
  info.y_pixels_per_meter = source.y_pixels_per_meter;
  bmp::AppendInfoHeader(out, info);
  return out;
}

}  // namespace

Converted ConvertSource(std::span<const std::uint8_t> source) {
  Converted result;
  result.error = PictureError::kNotUsable;
  const auto file = bmp::ReadFileHeader(source);
  const auto info = bmp::ReadInfoHeader(source);
  if (!file || !info || file->type != bmp::kSignature) return result;
  unsigned bits = 0;
  switch (file->pixel_offset) {
    case kOneBitOffset: bits = 1; break;
    case kEightBitOffset: bits = 8; break;
    case kTrueColourOffset: bits = kTrueColourBits; break;
    default: return result;
  }
  if (info->bits_per_pixel != bits || info->header_size != bmp::kInfoHeaderSize || info->width < 1 ||
      info->height < 1 || info->compression != bmp::kCompressionNone || info->planes != 1)
    return result;
  const auto stride = bmp::RowStride(info->width, bits);
  const auto rows = static_cast<std::size_t>(info->height);
  if (!stride || !bmp::RowsFit(source.size(), file->pixel_offset, *stride, rows)) return result;
  const auto out_stride = bmp::RowStride(info->width, kTrueColourBits);
  if (!out_stride || static_cast<std::uint64_t>(*out_stride) * rows > kMaxPixelBytes) {
    result.error = PictureError::kTooBig;
    return result;
  }
  result.error = PictureError::kNone;
  if (bits == kTrueColourBits) {
    result.file.assign(source.begin(), source.end());
    result.copied = true;
    return result;
  }
  const auto palette = bmp::ReadPalette(source, bmp::kHeadersSize, std::size_t{1} << bits);
  if (!palette) {
    result.error = PictureError::kNotUsable;
    return result;
  }
  result.file = Headers24(*info, info->width, info->height);
  const std::size_t width = static_cast<std::size_t>(info->width);
  for (std::size_t row = 0; row < rows; ++row) {
    const std::uint8_t* in = source.data() + file->pixel_offset + row * *stride;
    for (std::size_t x = 0; x < width; ++x) {
      const std::size_t index = bits == 1 ? (in[x / 8] >> (7 - x % 8)) & 1 : in[x];
      const bmp::PaletteEntry& colour = (*palette)[index];
      result.file.insert(result.file.end(), {colour.blue, colour.green, colour.red});
    }
    result.file.resize(result.file.size() + (*out_stride - width * 3), 0);
  }
  return result;
}

std::vector<std::uint8_t> PictureFile(const ui::Bitmap& picture) {
  std::vector<std::uint8_t> out = Headers24(bmp::InfoHeader{}, picture.width, picture.height);
  const std::size_t padding = Stride24(picture.width) - static_cast<std::size_t>(picture.width) * 3;
  for (int y = picture.height - 1; y >= 0; --y) {
    for (int x = 0; x < picture.width; ++x) {
      const std::uint32_t p = picture.At(x, y);
      out.insert(out.end(), {static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(p >> 8),
                             static_cast<std::uint8_t>(p >> 16)});
    }
    out.resize(out.size() + padding, 0);
  }
  return out;
}

std::optional<ui::Bitmap> ReadPicture(std::span<const std::uint8_t> file, bool* too_big) {
  if (too_big != nullptr) *too_big = false;
  const auto header = bmp::ReadFileHeader(file);
  const auto info = bmp::ReadInfoHeader(file);
  if (!header || !info || header->type != bmp::kSignature || info->bits_per_pixel != kTrueColourBits ||
      info->compression != bmp::kCompressionNone || info->width < 1 || info->height < 1)
    return std::nullopt;
  const auto stride = bmp::RowStride(info->width, kTrueColourBits);
  const auto rows = static_cast<std::size_t>(info->height);
  if (!stride) return std::nullopt;
  if (static_cast<std::uint64_t>(*stride) * rows > kMaxPixelBytes) {
    if (too_big != nullptr) *too_big = true;
    return std::nullopt;
  }
  if (!bmp::RowsFit(file.size(), header->pixel_offset, *stride, rows)) return std::nullopt;
  ui::Bitmap b;
  b.width = info->width;
  b.height = info->height;
  b.pixels.resize(static_cast<std::size_t>(b.width) * rows);
  for (std::size_t row = 0; row < rows; ++row) {
    const std::uint8_t* in = file.data() + header->pixel_offset + (rows - 1 - row) * *stride;
    for (int x = 0; x < b.width; ++x, in += 3)
      b.pixels[row * b.width + x] = (std::uint32_t{in[2]} << 16) | (std::uint32_t{in[1]} << 8) | in[0];
  }
  return b;
}

bool ReplacePicture(Files& files, std::u16string_view path, const std::vector<std::uint8_t>& bytes, bool archive) {
  const std::u16string fresh = std::u16string(path) + kNewPictureSuffix;
  if (!files.WriteFile(fresh, bytes, WriteMode::kCreateAlways) || !files.MoveFileReplace(fresh, path)) {
    files.DeleteFile(fresh);
    return false;
  }
  if (archive) {
    const std::uint32_t attributes = files.GetFileAttributes(path);
    if (attributes != kInvalidFileAttributes) files.SetFileAttributes(path, attributes | kArchiveAttribute);
  }
  return true;
}

}  // namespace kit::plugin::watermark
