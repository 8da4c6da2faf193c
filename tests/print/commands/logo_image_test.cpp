#include "print/commands/logo_image.h"

#include <gtest/gtest.h>

#include "common/bmp/bmp.h"
#include "print/logo/logo_convert.h"
#include "tests/print/commands/mono_bitmaps.h"
#include "tests/print/logo/test_images.h"

namespace kit::print::commands {
namespace {

using testing::MakeMono;

LogoImage Encoded(const std::vector<std::uint8_t>& bmp) {
  auto result = EncodeLogo(bmp);
  EXPECT_TRUE(std::holds_alternative<LogoImage>(result));
  return std::holds_alternative<LogoImage>(result) ? std::get<LogoImage>(result) : LogoImage{};
}
// The byte of column c, group k.
std::uint8_t At(const LogoImage& logo, int column, int group) {
  return logo.data[static_cast<std::size_t>(column) * logo.y + static_cast<std::size_t>(group)];
}

TEST(EncodeLogo, HundredByFiftyHasSixBlankRowsOnTop) {
  // Palette entry 0 white: a stored 1 bit prints. Every pixel of the picture is black.
  const auto logo = Encoded(MakeMono(100, 50, false, [](int x, int) { return x < 100; }));
  EXPECT_EQ(logo.x, 16);
  EXPECT_EQ(logo.y, 7);
  ASSERT_EQ(logo.data.size(), 896u);
  EXPECT_EQ(LogoHeader(logo), (std::vector<std::uint8_t>{16, 0, 7, 0}));
  for (int c = 0; c < 128; ++c) {
    SCOPED_TRACE(c);
    EXPECT_EQ(At(logo, c, 0), c < 100 ? 0x03 : 0x00);  // rows 0..5 blank, 6 and 7 printed
    for (int k = 1; k < 7; ++k) EXPECT_EQ(At(logo, c, k), c < 100 ? 0xFF : 0x00);
  }
}

TEST(EncodeLogo, OrientationTopDotInBitSevenColumnsLeftToRight) {
  // 10 rows: 6 blank rows on top. Stored row 9 is the picture's top row.
  const auto logo = Encoded(MakeMono(10, 10, false, [](int x, int y) {
    return (x == 0 && y == 9) || (x == 0 && y == 0) || (x == 9 && y == 5);
  }));
  ASSERT_EQ(logo.y, 2);
  EXPECT_EQ(At(logo, 0, 0), 0x02);  // top row of the picture: printer row 6
  EXPECT_EQ(At(logo, 0, 1), 0x01);  // bottom row: printer row 15
  EXPECT_EQ(At(logo, 9, 1), 0x20);  // stored row 5: printer row 6 + 4 = 10 -> group 1, dot 2 (bit 5)
  std::size_t set = 0;
  for (std::uint8_t b : logo.data) set += static_cast<std::size_t>(__builtin_popcount(b));
  EXPECT_EQ(set, 3u);
}

// Palette entry 0 black: stored 0 bits print. An all-zero file (padding
// included) prints exactly W columns after inversion, masks and cleared bytes.
TEST(EncodeLogo, BlackFirstPaletteInvertsAndClearsPastTheWidth) {
  for (int width : {1, 7, 8, 9, 33}) {
    SCOPED_TRACE(width);
    const auto logo = Encoded(MakeMono(width, 8, true, [](int, int) { return false; }));
    EXPECT_EQ(logo.x, width <= 32 ? 4 : 8);
    EXPECT_EQ(logo.y, 1);
    ASSERT_EQ(logo.data.size(), static_cast<std::size_t>(logo.x) * 8);
    for (int c = 0; c < logo.x * 8; ++c) EXPECT_EQ(At(logo, c, 0), c < width ? 0xFF : 0x00) << c;
  }
  // A white picture under the same palette prints nothing.
  const auto white = Encoded(MakeMono(33, 3, true, [](int x, int) { return x < 33; }));
  for (std::uint8_t b : white.data) EXPECT_EQ(b, 0);
}

// A picture converted in memory is encoded from its rows as its file would
// be; rows that cannot be the picture's are refused as a file's would be.
TEST(EncodeLogo, RowsHeldAlreadyGiveTheFilesLogo) {
  for (int width : {1, 9, 33, 100}) {
    SCOPED_TRACE(width);
    constexpr int kHeight = 11;
    const auto source = logo::testing::Make24(width, kHeight, [](int x, int y) {
      const auto level = static_cast<std::uint8_t>((x * 7 + y * 23) % 256);
      return logo::testing::Bgr{level, level, level};
    });
    const logo::LogoResult converted = logo::ConvertLogoBytes(source, {2, 0, 0});
    ASSERT_EQ(converted.status, logo::LogoStatus::kOk);
    const auto stride = bmp::RowStride(width, 1);
    ASSERT_TRUE(stride);
    const LogoImage from_file = Encoded(converted.file);
    const auto from_rows = EncodeLogo(OneBitRows{static_cast<std::size_t>(width), kHeight, *stride,
                                                 logo::ResultRows(converted), false});
    ASSERT_TRUE(std::holds_alternative<LogoImage>(from_rows));
    EXPECT_EQ(std::get<LogoImage>(from_rows).x, from_file.x);
    EXPECT_EQ(std::get<LogoImage>(from_rows).y, from_file.y);
    EXPECT_EQ(std::get<LogoImage>(from_rows).data, from_file.data);
  }
  const std::vector<std::uint8_t> rows(4 * 9, 0);
  struct Case {
    OneBitRows picture;
    LogoError error;
  };
  const Case cases[] = {
      {{20, 10, 4, rows, true}, LogoError::kShortData},
      {{40, 9, 4, rows, true}, LogoError::kFormat},  // a row narrower than its dots
      {{0, 9, 4, rows, true}, LogoError::kFormat},
      {{20, 9, 70000, rows, true}, LogoError::kTooLarge},
  };
  for (const Case& c : cases) {
    const auto result = EncodeLogo(c.picture);
    ASSERT_TRUE(std::holds_alternative<LogoError>(result));
    EXPECT_EQ(std::get<LogoError>(result), c.error) << c.picture.width << " x " << c.picture.height;
  }
}

TEST(EncodeLogo, RefusesHeadersThatDoNotFitTheirBytes) {
  const auto good = MakeMono(20, 9, false, [](int x, int y) { return (x + y) % 2 == 0; });
  ASSERT_TRUE(std::holds_alternative<LogoImage>(EncodeLogo(good)));
  auto with = [&](std::size_t offset, std::vector<std::uint8_t> bytes) {
    auto copy = good;
    std::copy(bytes.begin(), bytes.end(), copy.begin() + static_cast<std::ptrdiff_t>(offset));
    return copy;
  };
  struct Case {
    const char* what;
    std::vector<std::uint8_t> file;
    LogoError error;
  };
  auto truncated = good;
  truncated.pop_back();
  const Case cases[] = {
      {"shorter than its headers", std::vector<std::uint8_t>(good.begin(), good.begin() + 53), LogoError::kNotBitmap},
      {"not BM", with(0, {'B', 'A'}), LogoError::kNotBitmap},
      {"8 bits", with(28, {8, 0}), LogoError::kFormat},
      {"compressed", with(30, {1, 0, 0, 0}), LogoError::kFormat},
      {"small info header", with(14, {12, 0, 0, 0}), LogoError::kFormat},
      {"width 0", with(18, {0, 0, 0, 0}), LogoError::kFormat},
      {"negative height", with(22, {0xF7, 0xFF, 0xFF, 0xFF}), LogoError::kFormat},
      {"grey palette entry", with(54, {0x80, 0x80, 0x80}), LogoError::kPalette},
      {"two white entries", with(58, {0xFF, 0xFF, 0xFF}), LogoError::kPalette},
      {"last row cut", truncated, LogoError::kShortData},
      {"height past the data", with(22, {10, 0, 0, 0}), LogoError::kShortData},
      {"pixel offset past the end", with(10, {0xF0, 0xFF, 0xFF, 0xFF}), LogoError::kShortData},
      {"width past 16 bits", with(18, {0x00, 0x00, 0x10, 0x00}), LogoError::kTooLarge},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto result = EncodeLogo(c.file);
    ASSERT_TRUE(std::holds_alternative<LogoError>(result));
    EXPECT_EQ(std::get<LogoError>(result), c.error);
  }
}

}  // namespace
}  // namespace kit::print::commands
