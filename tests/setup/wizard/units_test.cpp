// Small units of the wizard: the left-band bitmap loader and the USB
// printer classification.
#include <gtest/gtest.h>

#include "common/bmp/bmp.h"
#include "common/bmp/bitmap_decode.h"
#include "setup/usb/usb_classification.h"
#include "tests/setup/wizard/wizard_fixture.h"

namespace kit::setup {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

TEST(LeftBitmap, DecodesBottomUpTwentyFourBitRows) {
  const auto b = bmp::DecodeBitmapFile(Bytes(testing::SmallBitmapFile()));
  ASSERT_TRUE(b.has_value());
  EXPECT_EQ(b->width, 4);
  EXPECT_EQ(b->height, 2);
  // Stored bottom row first, blue-green-red.
  EXPECT_EQ(b->At(0, 1), 0x140A00u);
  EXPECT_EQ(b->At(0, 0), 0x8C8278u);
}

TEST(LeftBitmap, PalettedRowsAndTopDown) {
  std::vector<std::uint8_t> out;
  bmp::InfoHeader info;
  info.width = 9;
  info.height = -1;  // top-down
  info.bits_per_pixel = 1;
  bmp::FileHeader file;
  file.pixel_offset = bmp::kHeadersSize + 8;
  bmp::AppendFileHeader(out, file);
  bmp::AppendInfoHeader(out, info);
  const bmp::PaletteEntry palette[] = {{0, 0, 0, 0}, {0xFF, 0x80, 0x10, 0}};
  bmp::AppendPalette(out, palette);
  for (std::uint8_t byte : {0x80, 0x80, 0x00, 0x00}) out.push_back(byte);
  const auto b = bmp::DecodeBitmapFile(out);
  ASSERT_TRUE(b.has_value());
  EXPECT_EQ(b->At(0, 0), 0x1080FFu);
  EXPECT_EQ(b->At(1, 0), 0u);
  EXPECT_EQ(b->At(8, 0), 0x1080FFu);
}

TEST(LeftBitmap, RefusesWhatItCannotShowWithoutReadingPastTheFile) {
  auto good = Bytes(testing::SmallBitmapFile());
  EXPECT_FALSE(bmp::DecodeBitmapFile({}).has_value());
  EXPECT_FALSE(bmp::DecodeBitmapFile(std::vector<std::uint8_t>(good.begin(), good.end() - 1)).has_value());
  auto compressed = good;
  compressed[30] = 1;  // RLE8
  EXPECT_FALSE(bmp::DecodeBitmapFile(compressed).has_value());
  auto huge = good;
  huge[18] = 0xFF, huge[19] = 0xFF, huge[20] = 0xFF, huge[21] = 0x7F;
  EXPECT_FALSE(bmp::DecodeBitmapFile(huge).has_value());
  auto not_bmp = good;
  not_bmp[0] = 'X';
  EXPECT_FALSE(bmp::DecodeBitmapFile(not_bmp).has_value());
}

TEST(UsbClassification, ByProductIds) {
  EXPECT_EQ(ClassifyProductIds({}), kUsbMakerDriverOrNone);
  EXPECT_EQ(ClassifyProductIds({0x1001}), kUsbMakerDriverOrNone);
  EXPECT_EQ(ClassifyProductIds({0x1005}), kUsbClassPrintersOnly);
  EXPECT_EQ(ClassifyProductIds({0x2003}), kUsbClassPrintersOnly);
  EXPECT_EQ(ClassifyProductIds({0x1005, 0x1100}), kUsbClassPrintersOnly);
  EXPECT_EQ(ClassifyProductIds({0x1000, 0x7A5C}), kUsbMakerDriverOrNone);
  EXPECT_EQ(ClassifyProductIds({0x1000, 0x1005}), kUsbMixedPrinters);
  EXPECT_EQ(ClassifyProductIds({0x1005, 0x2000}), kUsbMixedPrinters);
}

}  // namespace
}  // namespace kit::setup
