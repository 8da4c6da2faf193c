// This file is OS-independent.
#include "plugin/pages/download/logo_list.h"

#include <algorithm>

#include "common/bmp/bmp.h"

namespace kit::plugin::download {
namespace {

constexpr char16_t kConvertedPrefix[] = u"VRTQ40Logo";
constexpr char16_t kConvertedSuffix[] = u"Temp.bmp";

}  // namespace

int DefaultHalftone(PreviewMode mode) {
  return static_cast<int>(mode == PreviewMode::kTransformation ? logo::HalftoneMethod::kDitherM3
                                                               : logo::HalftoneMethod::kNone);
}

LogoState& ProcessLogoState() {
  static LogoState state;
  return state;
}

void RemoveRecord(LogoState& state, std::size_t index, std::size_t count) {
  if (count > kMaxLogos || index >= count) return;
  for (std::size_t i = index; i + 1 < count; ++i) state.records[i] = state.records[i + 1];
  state.records[count - 1] = logo::LogoSettings{};
}

void ResetRecords(LogoState& state, std::size_t count, int halftone) {
  for (std::size_t i = 0; i < count && i < kMaxLogos; ++i) state.records[i] = logo::LogoSettings{halftone, 0, 0};
}

std::u16string ConvertedLogoPath(std::u16string_view temp_folder, std::size_t position) {
  const std::string digits = std::to_string(position);
  std::u16string path(temp_folder);
  if (!path.empty() && path.back() != u'\\') path += u'\\';
  path += kConvertedPrefix;
  path.append(digits.begin(), digits.end());
  path += kConvertedSuffix;
  return path;
}

AddCheck CheckLogoToAdd(std::span<const std::uint8_t> file) {
  if (file.size() < kLogoHeadLength) return AddCheck::kShort;
  const auto info = bmp::ReadInfoHeader(file);
  if (!info) return AddCheck::kShort;
  if (info->width > kMaxLogoWidth || info->height > kMaxLogoHeight) return AddCheck::kTooLarge;
  // A width or height below 1 would pass the limits above and later give
  // negative buffer sizes.
  if (info->width < 1 || info->height < 1) return AddCheck::kShort;
  return AddCheck::kOk;
}

std::uint64_t LogoBytesNeeded(std::span<const std::uint8_t> head) {
  const auto header = bmp::ReadFileHeader(head);
  const auto info = bmp::ReadInfoHeader(head);
  if (!header || !info) return head.size();
  const std::uint64_t offset = std::max<std::uint64_t>(std::min<std::uint64_t>(header->pixel_offset, kMaxLogoPixelOffset),
                                                       logo::kSource8PixelOffset);
  const std::uint64_t bits = std::clamp<std::uint32_t>(info->bits_per_pixel, 1, kMaxLogoBitsPerPixel);
  const std::uint64_t width = static_cast<std::uint64_t>(std::clamp<std::int32_t>(info->width, 1, kMaxLogoWidth));
  const std::uint64_t height = static_cast<std::uint64_t>(std::clamp<std::int32_t>(info->height, 1, kMaxLogoHeight));
  const std::uint64_t stride = (width * bits + 31) / 32 * 4;
  return offset + stride * height;
}

namespace {

std::optional<bmp::InfoHeader> BitmapInfo(std::span<const std::uint8_t> file) {
  const auto header = bmp::ReadFileHeader(file);
  if (!header || header->type != bmp::kSignature) return std::nullopt;
  return bmp::ReadInfoHeader(file);
}

}  // namespace

bool IsConvertible(std::span<const std::uint8_t> file) {
  const auto info = BitmapInfo(file);
  return info && (info->bits_per_pixel == 24 || info->bits_per_pixel == 8);
}

bool IsOneBit(std::span<const std::uint8_t> file) {
  const auto info = BitmapInfo(file);
  return info && info->bits_per_pixel == 1;
}

std::optional<print::commands::LogoImage> LogoToSend(std::span<const std::uint8_t> file) {
  const auto info = BitmapInfo(file);
  if (!info || info->width < 1 || info->width > kMaxLogoWidth || info->height < 1 ||
      info->height > kMaxLogoHeight)
    return std::nullopt;
  // The encoder checks the rest: one bit, no compression, the info header,
  // the palette, and every row inside the bytes.
  auto encoded = print::commands::EncodeLogo(file);
  if (auto* image = std::get_if<print::commands::LogoImage>(&encoded)) return std::move(*image);
  return std::nullopt;
}

}  // namespace kit::plugin::download
