#include "common/bmp/bmp.h"

#include <gtest/gtest.h>

#include <limits>

namespace kit::bmp {
namespace {

TEST(BmpHeaders, WriteTheirFieldsAtTheirLittleEndianOffsets) {
  std::vector<std::uint8_t> bytes;
  AppendFileHeader(bytes, FileHeader{kSignature, 0x01020304, 0x0506, 0x0708, 0x090A0B0C});
  InfoHeader info;
  info.header_size = 40;
  info.width = 0x11223344;
  info.height = -2;
  info.planes = 1;
  info.bits_per_pixel = 24;
  info.compression = 0x0D0E0F10;
  info.image_size = 0x20212223;
  info.x_pixels_per_meter = 2835;
  info.y_pixels_per_meter = -1;
  info.colours_used = 256;
  info.colours_important = 0xA1B2C3D4;
  AppendInfoHeader(bytes, info);
  const std::vector<std::uint8_t> expected = {
      'B', 'M', 0x04, 0x03, 0x02, 0x01, 0x06, 0x05, 0x08, 0x07, 0x0C, 0x0B, 0x0A, 0x09,
      40, 0, 0, 0, 0x44, 0x33, 0x22, 0x11, 0xFE, 0xFF, 0xFF, 0xFF, 1, 0, 24, 0,
      0x10, 0x0F, 0x0E, 0x0D, 0x23, 0x22, 0x21, 0x20, 0x13, 0x0B, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF,
      0, 1, 0, 0, 0xD4, 0xC3, 0xB2, 0xA1};
  ASSERT_EQ(bytes, expected);
  EXPECT_EQ(ReadFileHeader(bytes), (FileHeader{kSignature, 0x01020304, 0x0506, 0x0708, 0x090A0B0C}));
  EXPECT_EQ(ReadInfoHeader(bytes), info);
}

TEST(BmpHeaders, AreNotReadFromTooFewBytes) {
  const std::vector<std::uint8_t> bytes(kHeadersSize, 0);
  EXPECT_FALSE(ReadFileHeader(std::span(bytes).first(kFileHeaderSize - 1)).has_value());
  EXPECT_TRUE(ReadFileHeader(std::span(bytes).first(kFileHeaderSize)).has_value());
  EXPECT_FALSE(ReadInfoHeader(std::span(bytes).first(kHeadersSize - 1)).has_value());
  EXPECT_TRUE(ReadInfoHeader(bytes).has_value());
  EXPECT_FALSE(ReadU32(bytes, kHeadersSize - 3).has_value());
  EXPECT_FALSE(ReadU16(bytes, std::numeric_limits<std::size_t>::max()).has_value());
}

TEST(BmpPalette, RoundTripsAndIsBoundedByTheFile) {
  std::vector<std::uint8_t> bytes(10, 0xEE);
  const std::vector<PaletteEntry> palette = {{1, 2, 3, 4}, {0xFF, 0xFF, 0xFF, 0}};
  AppendPalette(bytes, palette);
  ASSERT_EQ(bytes.size(), 18u);
  EXPECT_EQ(bytes[10], 1);
  EXPECT_EQ(bytes[13], 4);
  EXPECT_EQ(ReadPalette(bytes, 10, 2), palette);
  EXPECT_FALSE(ReadPalette(bytes, 11, 2).has_value());
  EXPECT_FALSE(ReadPalette(bytes, 10, 3).has_value());
  EXPECT_FALSE(ReadPalette(bytes, 19, 0).has_value());
  EXPECT_FALSE(ReadPalette(bytes, 2, std::numeric_limits<std::size_t>::max() / 2).has_value());
}

TEST(BmpPalette, DeclaredCountAndOffset) {
  InfoHeader info;
  info.bits_per_pixel = 8;
  EXPECT_EQ(DeclaredPaletteCount(info), 256u);
  info.colours_used = 2;
  EXPECT_EQ(DeclaredPaletteCount(info), 2u);
  info.colours_used = 0;
  info.bits_per_pixel = 1;
  EXPECT_EQ(DeclaredPaletteCount(info), 2u);
  info.bits_per_pixel = 24;
  EXPECT_EQ(DeclaredPaletteCount(info), 0u);
  EXPECT_EQ(PaletteOffset(info), 54u);
  info.header_size = 124;  // a version 5 header
  EXPECT_EQ(PaletteOffset(info), 138u);
}

TEST(BmpRowStride, RoundsRowsUpToWholeWords) {
  EXPECT_EQ(RowStride(1, 1), 4u);
  EXPECT_EQ(RowStride(32, 1), 4u);
  EXPECT_EQ(RowStride(33, 1), 8u);
  EXPECT_EQ(RowStride(1024, 1), 128u);
  EXPECT_EQ(RowStride(1, 8), 4u);
  EXPECT_EQ(RowStride(5, 8), 8u);
  EXPECT_EQ(RowStride(1, 24), 4u);
  EXPECT_EQ(RowStride(3, 24), 12u);
  EXPECT_EQ(RowStride(5, 24), 16u);
  EXPECT_EQ(RowStride(1023, 24), 3072u);
  EXPECT_EQ(RowStride(100, 4), 52u);
}

TEST(BmpRowStride, RefusesImpossibleRows) {
  EXPECT_FALSE(RowStride(0, 24).has_value());
  EXPECT_FALSE(RowStride(-5, 8).has_value());
  EXPECT_FALSE(RowStride(10, 0).has_value());
  EXPECT_FALSE(RowStride(std::numeric_limits<std::int32_t>::max(), 32).has_value());  // beyond 32 bits
  EXPECT_TRUE(RowStride(std::numeric_limits<std::int32_t>::max(), 8).has_value());
}

TEST(BmpRowsFit, ChecksAgainstTheRealSizeWithoutOverflow) {
  EXPECT_TRUE(RowsFit(54 + 12 * 3, 54, 12, 3));
  EXPECT_FALSE(RowsFit(54 + 12 * 3 - 1, 54, 12, 3));
  EXPECT_FALSE(RowsFit(100, 101, 4, 1));
  EXPECT_TRUE(RowsFit(100, 100, 4, 0));
  const auto huge = std::numeric_limits<std::size_t>::max();
  EXPECT_FALSE(RowsFit(1000, 54, huge / 2 + 1, 2));  // the product wraps around
  EXPECT_FALSE(RowsFit(1000, 54, 4, huge));
}

}  // namespace
}  // namespace kit::bmp
