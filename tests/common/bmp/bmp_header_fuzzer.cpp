// Reads the headers, palette and rows of arbitrary bytes the way the logo and
// watermark code does, touching every byte the checks say is there.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "common/bmp/bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kit::bmp;
  const std::span<const std::uint8_t> file(data, size);
  const auto header = ReadFileHeader(file);
  const auto info = ReadInfoHeader(file);
  if ((header.has_value()) != (size >= kFileHeaderSize)) std::abort();
  if (!info) return 0;
  std::vector<std::uint8_t> rewritten;
  AppendFileHeader(rewritten, *header);
  AppendInfoHeader(rewritten, *info);
  if (!std::equal(rewritten.begin(), rewritten.end(), data)) std::abort();  // lossless round trip
  if (const auto palette = ReadPalette(file, PaletteOffset(*info), DeclaredPaletteCount(*info))) {
    unsigned sum = 0;
    for (const auto& entry : *palette) sum += entry.blue + entry.reserved;
    if (sum == 0xFFFFFFFF) std::abort();
  }
  const auto stride = RowStride(info->width, info->bits_per_pixel);
  if (!stride || info->height < 1) return 0;
  if (RowsFit(size, header->pixel_offset, *stride, static_cast<std::size_t>(info->height))) {
    // The last byte of the last row must be inside the buffer.
    const std::size_t last = header->pixel_offset + *stride * static_cast<std::size_t>(info->height) - 1;
    volatile std::uint8_t touched = data[last];
    (void)touched;
  }
  return 0;
}
