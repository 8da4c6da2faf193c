// The watermark picture as the printing side reads it: the conversion of 1-,
// 8- and 24-bit bitmaps byte for byte, the bitmaps it refuses, the 300 x 300
// text picture's layout, the text's turn and the preview's placement.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "common/bmp/bmp.h"
#include "plugin/pages/watermark/watermark_picture.h"
#include "plugin/pages/watermark/watermark_preview.h"

namespace kit::plugin::watermark {
namespace {

using Bytes8 = std::vector<std::uint8_t>;

// A BMP with the given header fields, palette and pixel bytes, laid out as
// stated (the headers may lie about the rest).
Bytes8 MakeBmp(std::uint32_t offset, std::int32_t width, std::int32_t height, std::uint16_t bits,
               const std::vector<bmp::PaletteEntry>& palette, const Bytes8& pixels, std::uint32_t compression = 0) {
  Bytes8 out;
  bmp::FileHeader file;
  file.pixel_offset = offset;
  file.file_size = static_cast<std::uint32_t>(offset + pixels.size());
  bmp::AppendFileHeader(out, file);
  bmp::InfoHeader info;
  info.width = width;
  info.height = height;
  info.bits_per_pixel = bits;
  info.compression = compression;
  info.x_pixels_per_meter = 2835;
  info.y_pixels_per_meter = 2835;
  bmp::AppendInfoHeader(out, info);
  bmp::AppendPalette(out, palette);
  out.resize(offset, 0);
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

// The 24-bit file the conversion must give for a W x H picture whose rows
// (bottom first) are `rows` of blue, green, red triples.
Bytes8 Expected24(std::int32_t width, std::int32_t height, const std::vector<Bytes8>& rows) {
  const std::size_t stride = ((static_cast<std::size_t>(width) * 3 + 3) / 4) * 4;
  Bytes8 out = {'B', 'M'};
  bmp::AppendU32(out, static_cast<std::uint32_t>(54 + stride * height));  // (((W + 1) * 3) / 4) * H * 4 + 54
  bmp::AppendU32(out, 0);
  bmp::AppendU32(out, 54);
  bmp::AppendU32(out, 40);
  bmp::AppendI32(out, width);
  bmp::AppendI32(out, height);
  bmp::AppendU16(out, 1);
  bmp::AppendU16(out, 24);
  bmp::AppendU32(out, 0);
  bmp::AppendU32(out, static_cast<std::uint32_t>(stride * height));
  bmp::AppendI32(out, 2835);
  bmp::AppendI32(out, 2835);
  bmp::AppendU32(out, 0);  // colours used
  bmp::AppendU32(out, 0);
  for (const Bytes8& row : rows) {
    out.insert(out.end(), row.begin(), row.end());
    out.resize(out.size() + stride - row.size(), 0);
  }
  return out;
}

TEST(WatermarkConversion, OneBitRowsExpandThroughThePaletteLeftmostBitFirst) {
  // 3 x 2: bottom row 1 0 1, top row 0 1 1; entry 0 blue-ish, entry 1 red-ish.
  const std::vector<bmp::PaletteEntry> palette = {{0x10, 0x20, 0x30, 0}, {0xA0, 0xB0, 0xC0, 0}};
  const Bytes8 source = MakeBmp(62, 3, 2, 1, palette, {0xA0, 0, 0, 0, 0x60, 0, 0, 0});
  const Converted c = ConvertSource(source);
  ASSERT_EQ(c.error, PictureError::kNone);
  EXPECT_FALSE(c.copied);
  const Bytes8 e0 = {0x10, 0x20, 0x30}, e1 = {0xA0, 0xB0, 0xC0};
  auto row = [](const Bytes8& a, const Bytes8& b, const Bytes8& d) {
    Bytes8 r = a;
    r.insert(r.end(), b.begin(), b.end());
    r.insert(r.end(), d.begin(), d.end());
    return r;
  };
  EXPECT_EQ(c.file, Expected24(3, 2, {row(e1, e0, e1), row(e0, e1, e1)}));
}

TEST(WatermarkConversion, EightBitRowsExpandThroughTheirPalette) {
  std::vector<bmp::PaletteEntry> palette(256);
  for (int i = 0; i < 256; ++i)
    palette[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i / 2), 0};
  // 5 x 1: stride 8 in the source, 16 in the result.
  const Bytes8 source = MakeBmp(1078, 5, 1, 8, palette, {0, 1, 128, 254, 255, 9, 9, 9});
  const Converted c = ConvertSource(source);
  ASSERT_EQ(c.error, PictureError::kNone);
  EXPECT_EQ(c.file, Expected24(5, 1, {{0, 255, 0, 1, 254, 0, 128, 127, 64, 254, 1, 127, 255, 0, 127}}));
  EXPECT_EQ(c.file.size(), 54u + 16u);
}

TEST(WatermarkConversion, ATrueColourSourceIsKeptByteForByte) {
  Bytes8 source = MakeBmp(54, 2, 2, 24, {}, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0});
  source.push_back(0xEE);  // bytes after the rows are kept too
  const Converted c = ConvertSource(source);
  ASSERT_EQ(c.error, PictureError::kNone);
  EXPECT_TRUE(c.copied);
  EXPECT_EQ(c.file, source);
}

// Every source the page cannot use, and what it says.
TEST(WatermarkConversion, RefusesWhatItCannotReadWithinTheFile) {
  const std::vector<bmp::PaletteEntry> two(2), many(256), sixteen(16);
  Bytes8 not_bm = MakeBmp(54, 1, 1, 24, {}, {0, 0, 0, 0});
  not_bm[1] = 'A';
  Bytes8 core_header = MakeBmp(54, 1, 1, 24, {}, {0, 0, 0, 0});
  core_header[14] = 12;
  Bytes8 short_palette = MakeBmp(1078, 1, 1, 8, many, {0, 0, 0, 0});
  short_palette.resize(60);  // header says offset 1078
  struct Case {
    const char* what;
    Bytes8 file;
    PictureError error;
  } cases[] = {
      {"empty", {}, PictureError::kNotUsable},
      {"not BM", not_bm, PictureError::kNotUsable},
      {"4 bits (offset 118)", MakeBmp(118, 2, 2, 4, sixteen, Bytes8(8, 0)), PictureError::kNotUsable},
      {"32 bits at offset 54", MakeBmp(54, 1, 1, 32, {}, {0, 0, 0, 0}), PictureError::kNotUsable},
      {"offset 62 but 8 bits", MakeBmp(62, 1, 1, 8, two, {0, 0, 0, 0}), PictureError::kNotUsable},
      {"compressed", MakeBmp(1078, 4, 1, 8, many, {0, 0, 0, 0}, 1), PictureError::kNotUsable},
      {"negative height", MakeBmp(54, 1, -1, 24, {}, {0, 0, 0, 0}), PictureError::kNotUsable},
      {"zero width", MakeBmp(54, 0, 1, 24, {}, {0, 0, 0, 0}), PictureError::kNotUsable},
      {"12-byte header", core_header, PictureError::kNotUsable},
      {"rows beyond the file", MakeBmp(54, 2, 3, 24, {}, Bytes8(16, 0)), PictureError::kNotUsable},
      {"width beyond the file", MakeBmp(62, 4000, 1, 1, two, {0, 0, 0, 0}), PictureError::kNotUsable},
      {"palette beyond the file", short_palette, PictureError::kNotUsable},
      // 1 x 3,000,000 one-bit rows of 4 bytes: 12 MB of 24-bit data.
      {"over 10 MB", MakeBmp(62, 1, 3'000'000, 1, two, Bytes8(12'000'000, 0)), PictureError::kTooBig},
  };
  for (const Case& c : cases) EXPECT_EQ(ConvertSource(c.file).error, c.error) << c.what;
}

TEST(WatermarkTextPicture, IsA270054ByteBottomUpTwentyFourBitFile) {
  ui::Bitmap picture;
  picture.width = picture.height = kTextPictureSide;
  picture.pixels.assign(300 * 300, 0xFFFFFF);
  picture.pixels[0] = 0x112233;            // top-left
  picture.pixels[299 * 300 + 1] = 0x445566;  // bottom row, second pixel
  const Bytes8 file = PictureFile(picture);
  ASSERT_EQ(file.size(), kTextPictureFileSize);
  const Bytes8 headers = {'B', 'M', 0xE6, 0x1E, 0x04, 0x00, 0, 0, 0, 0, 54, 0, 0, 0,   // file header
                          40, 0, 0, 0, 0x2C, 0x01, 0, 0, 0x2C, 0x01, 0, 0, 1, 0, 24, 0,  // size, planes, bits
                          0, 0, 0, 0, 0xB0, 0x1E, 0x04, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(Bytes8(file.begin(), file.begin() + 54), headers);
  EXPECT_EQ(Bytes8(file.begin() + 54 + 3, file.begin() + 54 + 6), (Bytes8{0x66, 0x55, 0x44}));  // bottom row first
  const std::size_t top_left = 54 + 299 * 900;
  EXPECT_EQ(Bytes8(file.begin() + top_left, file.begin() + top_left + 3), (Bytes8{0x33, 0x22, 0x11}));
  EXPECT_EQ(ReadPicture(file)->pixels, picture.pixels);
}

TEST(WatermarkTextOffset, TurnsAboutTheCentreAsThePrintingSideDoes) {
  struct Case {
    int width, height;
    std::uint32_t angle;
    TextOffset offset;
  } cases[] = {
      {100, 20, 90, {-10, 49}},  // drawn from (160, 199)
      {100, 20, 45, {28, 42}},
      {100, 20, 0, {50, 10}},
      {100, 21, 180, {-49, -10}},
      {0, 0, 360, {0, 0}},
  };
  for (const Case& c : cases) EXPECT_EQ(TextOffsetFor(c.width, c.height, c.angle), c.offset) << c.angle;
}

// A 300 x 300 picture at 50 % in a 150 x 200 frame: 75 x 75 in each place.
TEST(WatermarkPlacement, TheNinePlacesAndTilingInOneFrame) {
  const ui::Rect whole{0, 0, 300, 300};
  const ui::Rect places[9] = {{0, 0, 75, 75},  {37, 0, 75, 75},  {75, 0, 75, 75},
                              {0, 62, 75, 75}, {37, 62, 75, 75}, {75, 62, 75, 75},
                              {0, 125, 75, 75}, {37, 125, 75, 75}, {75, 125, 75, 75}};
  for (int position = 0; position < 9; ++position)
    EXPECT_EQ(PlacePicture(150, 200, 300, 300, 50, position), (std::vector<Placement>{{places[position], whole}}))
        << position;
  const std::vector<Placement> tiles = {{{0, 0, 75, 75}, whole},   {{75, 0, 75, 75}, whole},
                                        {{0, 75, 75, 75}, whole},  {{75, 75, 75, 75}, whole},
                                        {{0, 150, 75, 50}, {0, 0, 300, 200}}, {{75, 150, 75, 50}, {0, 0, 300, 200}}};
  EXPECT_EQ(PlacePicture(150, 200, 300, 300, 50, kTiledPosition), tiles);
  // Tiled raises the size to 20: 30-pixel columns.
  EXPECT_EQ(PlacePicture(150, 200, 300, 300, 5, kTiledPosition).front().dst, (ui::Rect{0, 0, 30, 30}));
}

TEST(WatermarkPlacement, ATallPictureGivesOnlyTheRowsThatFit) {
  // 100 x 400 at 100 % in 100 x 50: 50 source rows, from the top, middle or bottom.
  EXPECT_EQ(PlacePicture(100, 50, 100, 400, 100, 1).front().src, (ui::Rect{0, 0, 100, 50}));
  EXPECT_EQ(PlacePicture(100, 50, 100, 400, 100, 4).front().src, (ui::Rect{0, 175, 100, 50}));
  EXPECT_EQ(PlacePicture(100, 50, 100, 400, 100, 7).front().src, (ui::Rect{0, 350, 100, 50}));
}

TEST(WatermarkPlacement, NothingOfZeroSizeIsDrawnAndTheFrameStaysWhite) {
  ui::Bitmap wide;
  wide.width = 2000;
  wide.height = 20;
  wide.pixels.assign(2000 * 20, 0);
  for (int position : {4, kTiledPosition}) {
    EXPECT_TRUE(PlacePicture(150, 150, 2000, 20, 20, position).empty()) << position;  // drawn height 0
    const ui::Bitmap frame = ComposePreview(150, 150, wide, 20, position, ui::StretchMode::kColorOnColor);
    EXPECT_EQ(std::count(frame.pixels.begin(), frame.pixels.end(), 0xFFFFFFu), 150 * 150) << position;
  }
  EXPECT_TRUE(PlacePicture(0, 150, 300, 300, 50, 4).empty());
  EXPECT_TRUE(PlacePicture(150, 0, 300, 300, 50, kTiledPosition).empty());
  EXPECT_TRUE(PlacePicture(150, 150, 300, 300, 0, 4).empty());
  EXPECT_TRUE(ComposePreview(0, 0, wide, 50, 4, ui::StretchMode::kColorOnColor).Empty());
  // Pictures far wider than 32-bit products allow are placed in 64 bits.
  EXPECT_EQ(PlacePicture(150, 150, 3'000'000, 1, 100, 0).size(), 0u);
  EXPECT_EQ(PlacePicture(150, 150, 150, 3'000'000, 100, 0).front().src, (ui::Rect{0, 0, 150, 150}));
}

TEST(WatermarkPreview, BrightnessIsCappedPerByteAndBlackOnWhiteKeepsThinStrokes) {
  ui::Bitmap b;
  b.width = 2;
  b.height = 1;
  b.pixels = {0x000000, 0xF080FF};
  Brighten(b, 50);
  EXPECT_EQ(b.pixels, (std::vector<std::uint32_t>{0x323232, 0xFFB2FF}));

  // A one-pixel black column in 4 x 1, halved: ANDing keeps it, nearest may not.
  ui::Bitmap line;
  line.width = 4;
  line.height = 1;
  line.pixels = {0xFFFFFF, 0x000000, 0xFFFFFF, 0xFFFFFF};
  ui::Bitmap target;
  target.width = 2;
  target.height = 1;
  target.pixels.assign(2, 0xFFFFFF);
  ui::StretchPicture(target, {0, 0, 2, 1}, line, {0, 0, 4, 1}, ui::StretchMode::kBlackOnWhite);
  EXPECT_EQ(target.pixels, (std::vector<std::uint32_t>{0x000000, 0xFFFFFF}));
  target.pixels.assign(2, 0xFFFFFF);
  ui::StretchPicture(target, {0, 0, 2, 1}, line, {0, 0, 4, 1}, ui::StretchMode::kColorOnColor);
  EXPECT_EQ(target.pixels, (std::vector<std::uint32_t>{0xFFFFFF, 0xFFFFFF}));
}

}  // namespace
}  // namespace kit::plugin::watermark
