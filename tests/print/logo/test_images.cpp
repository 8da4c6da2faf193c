#include "tests/print/logo/test_images.h"

#include "common/bmp/bmp.h"

namespace kit::logo::testing {

namespace {

std::vector<std::uint8_t> Headers(int width, int height, int bits, std::size_t stride, std::uint32_t offset,
                                  std::uint32_t colours) {
  std::vector<std::uint8_t> file;
  const auto image_size = static_cast<std::uint32_t>(stride * static_cast<std::size_t>(height));
  bmp::AppendFileHeader(file, bmp::FileHeader{bmp::kSignature, offset + image_size, 0, 0, offset});
  bmp::InfoHeader info;
  info.width = width;
  info.height = height;
  info.bits_per_pixel = static_cast<std::uint16_t>(bits);
  info.image_size = image_size;
  info.colours_used = colours;
  bmp::AppendInfoHeader(file, info);
  return file;
}

}  // namespace

std::vector<std::uint8_t> Make24(int width, int height, const std::function<Bgr(int x, int y)>& pixel) {
  const std::size_t stride = *bmp::RowStride(width, 24);
  auto file = Headers(width, height, 24, stride, 54, 0);
  file.resize(54 + stride * static_cast<std::size_t>(height), 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Bgr p = pixel(x, y);
      std::uint8_t* at = &file[54 + static_cast<std::size_t>(y) * stride + 3 * static_cast<std::size_t>(x)];
      at[0] = p.blue;
      at[1] = p.green;
      at[2] = p.red;
    }
  }
  return file;
}

std::vector<std::uint8_t> Make8(int width, int height, const std::function<std::uint8_t(int x, int y)>& level) {
  const std::size_t stride = *bmp::RowStride(width, 8);
  auto file = Headers(width, height, 8, stride, 1078, 256);
  std::vector<bmp::PaletteEntry> grey(256);
  for (int i = 0; i < 256; ++i) {
    const auto v = static_cast<std::uint8_t>(i);
    grey[i] = bmp::PaletteEntry{v, v, v, 0};
  }
  bmp::AppendPalette(file, grey);
  file.resize(1078 + stride * static_cast<std::size_t>(height), 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) file[1078 + static_cast<std::size_t>(y) * stride + x] = level(x, y);
  }
  return file;
}

bool WhiteAt(const std::vector<std::uint8_t>& mono, int x, int y) {
  const auto width = static_cast<std::int32_t>(*bmp::ReadI32(mono, 18));
  const std::size_t stride = *bmp::RowStride(width, 1);
  return (mono.at(62 + static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x / 8)) >> (7 - x % 8)) & 1;
}

}  // namespace kit::logo::testing
