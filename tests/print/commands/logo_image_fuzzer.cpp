// Encodes arbitrary small files as logos: the encoder must never read past
// the bytes it is given, and a logo it accepts has exactly x * y * 8 bytes
// of a picture that fits the file.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "common/bmp/bmp.h"
#include "print/commands/logo_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 16 * 1024) return 0;
  const std::span<const std::uint8_t> file(data, size);
  const auto result = kit::print::commands::EncodeLogo(file);
  if (const auto* logo = std::get_if<kit::print::commands::LogoImage>(&result)) {
    const auto info = kit::bmp::ReadInfoHeader(file);
    if (!info || info->width < 1 || info->height < 1) std::abort();
    if (logo->data.size() != static_cast<std::size_t>(logo->x) * logo->y * 8) std::abort();
    if (logo->x != *kit::bmp::RowStride(info->width, 1) || logo->y != (info->height + 7) / 8) std::abort();
  }
  return 0;
}
