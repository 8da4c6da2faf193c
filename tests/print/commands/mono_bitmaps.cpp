#include "tests/print/commands/mono_bitmaps.h"

#include "common/bmp/bmp.h"

namespace kit::print::commands::testing {

std::vector<std::uint8_t> MakeMono(int width, int height, bool palette0_black,
                                   const std::function<bool(int x, int y)>& stored_bit) {
  const std::size_t stride = *bmp::RowStride(width, 1);
  const bmp::PaletteEntry black{0, 0, 0, 0};
  const bmp::PaletteEntry white{0xFF, 0xFF, 0xFF, 0};
  const bmp::PaletteEntry palette[2] = {palette0_black ? black : white, palette0_black ? white : black};
  const std::uint32_t offset = bmp::kHeadersSize + 2 * bmp::kPaletteEntrySize;
  bmp::FileHeader file;
  file.pixel_offset = offset;
  file.file_size = static_cast<std::uint32_t>(offset + stride * static_cast<std::size_t>(height));
  bmp::InfoHeader info;
  info.width = width;
  info.height = height;
  info.bits_per_pixel = 1;
  info.image_size = static_cast<std::uint32_t>(stride * static_cast<std::size_t>(height));
  std::vector<std::uint8_t> out;
  bmp::AppendFileHeader(out, file);
  bmp::AppendInfoHeader(out, info);
  bmp::AppendPalette(out, palette);
  for (int y = 0; y < height; ++y)
    for (std::size_t b = 0; b < stride; ++b) {
      std::uint8_t byte = 0;
      for (int bit = 0; bit < 8; ++bit)
        if (stored_bit(static_cast<int>(b * 8) + bit, y)) byte = static_cast<std::uint8_t>(byte | (0x80 >> bit));
      out.push_back(byte);
    }
  return out;
}

}  // namespace kit::print::commands::testing
