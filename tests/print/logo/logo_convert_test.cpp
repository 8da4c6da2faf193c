#include "print/logo/logo_convert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "common/bmp/bmp.h"
#include "print/logo/logo_files.h"
#include "print/logo/logo_levels.h"
#include "tests/print/logo/memory_files.h"
#include "tests/print/logo/test_images.h"

namespace kit::logo {
namespace {

using testing::Bgr;
using testing::Make24;
using testing::Make8;
using testing::MemoryFiles;
using testing::WhiteAt;

constexpr int kNone = 0, kM3 = 1, kM4 = 2, kDiffuse = 3;

std::vector<std::uint8_t> Convert(const std::vector<std::uint8_t>& source, int halftone, int contrast = 0,
                                  int brightness = 0) {
  LogoResult result = ConvertLogoBytes(source, LogoSettings{halftone, contrast, brightness});
  EXPECT_EQ(result.status, LogoStatus::kOk) << LogoStatusText(result.status);
  return result.file;
}

std::vector<std::uint8_t> Row(const std::vector<std::uint8_t>& mono, int y) {
  const auto width = *bmp::ReadI32(mono, 18);
  const std::size_t stride = *bmp::RowStride(width, 1);
  const auto begin = mono.begin() + 62 + static_cast<std::ptrdiff_t>(stride * static_cast<std::size_t>(y));
  return {begin, begin + static_cast<std::ptrdiff_t>(stride)};
}

Bgr Grey(int v) { return Bgr{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v)}; }

TEST(LogoResultFile, HasTheOneBitLayoutWithBlackAndWhitePalette) {
  // 33 pixels wide: two 32-bit words per row, 8 bytes; 2 rows.
  const auto mono = Convert(Make24(33, 2, [](int, int) { return Grey(255); }), kM3);
  const std::vector<std::uint8_t> header = {
      'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0,      // file header: size 16 + 62, pixels at 62
      40, 0, 0, 0, 33, 0, 0, 0, 2, 0, 0, 0, 1, 0, 1, 0,    // info: 40, 33 x 2, 1 plane, 1 bit
      0, 0, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,     // no compression, image 16 bytes, no resolution
      0, 0, 0, 0, 0, 0, 0, 0,                              // colours used, important
      0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00};     // black, white
  ASSERT_EQ(mono.size(), 78u);
  EXPECT_EQ(std::vector<std::uint8_t>(mono.begin(), mono.begin() + 62), header);
  // All white: 33 set bits, the rest of the row (unused bits and padding) 0.
  const std::vector<std::uint8_t> row = {0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0, 0, 0};
  EXPECT_EQ(Row(mono, 0), row);
  EXPECT_EQ(Row(mono, 1), row);
}

TEST(LogoNone, ThresholdIsTheMeanGreyAndEqualLevelsStayBlack) {
  // Levels 0, 100, 200, 255: mean 138, so only 200 and 255 are above it.
  const std::uint8_t levels[] = {0, 100, 200, 255};
  EXPECT_EQ(Row(Convert(Make24(4, 1, [&](int x, int) { return Grey(levels[x]); }), kNone), 0)[0], 0x30);
  EXPECT_EQ(Row(Convert(Make8(4, 1, [&](int x, int) { return levels[x]; }), kNone), 0)[0], 0x30);
  // A uniform mid-grey image equals its own mean everywhere: all black.
  const auto grey = Convert(Make24(9, 3, [](int, int) { return Grey(128); }), kNone);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 9; ++x) EXPECT_FALSE(WhiteAt(grey, x, y));
}

TEST(LogoNone, TwentyFourBitThresholdWeighsTheChannelMeans) {
  // Pure red (Y = 76) beside pure green (Y = 149): channel means R 127, G 127,
  // B 0 give T = (587 * 127 + 299 * 127) / 1000 = 112; only green is above.
  const auto mono = Convert(Make24(2, 1, [](int x, int) {
    return x == 0 ? Bgr{0, 0, 255} : Bgr{0, 255, 0};
  }), kNone);
  EXPECT_FALSE(WhiteAt(mono, 0, 0));
  EXPECT_TRUE(WhiteAt(mono, 1, 0));
}

TEST(LogoDither, WhiteImagesAgainstTheMatrixMaxima) {
  const auto white24 = Make24(17, 17, [](int, int) { return Grey(255); });
  const auto white8 = Make8(17, 17, [](int, int) { return 255; });
  const auto m3_24 = Convert(white24, kM3);
  const auto m4_24 = Convert(white24, kM4);
  const auto m3_8 = Convert(white8, kM3);
  const auto m4_8 = Convert(white8, kM4);
  for (int y = 0; y < 17; ++y) {
    for (int x = 0; x < 17; ++x) {
      // 24-bit compares with >=, so even the largest entries (63, 255) stay white.
      EXPECT_TRUE(WhiteAt(m3_24, x, y));
      EXPECT_TRUE(WhiteAt(m4_24, x, y));
      // 8-bit compares with >: black exactly where the entry is 63 (M3: row 7,
      // column 0) or 255 (M4: row 7, column 8).
      EXPECT_EQ(WhiteAt(m3_8, x, y), !(y % 8 == 7 && x % 8 == 0)) << x << "," << y;
      EXPECT_EQ(WhiteAt(m4_8, x, y), !(y % 16 == 7 && x % 16 == 8)) << x << "," << y;
    }
  }
}

TEST(LogoDither, M3ComparesTheTopSixBitsOfTheGreyLevel) {
  // Level 8 >> 2 = 2: with >= (24-bit) white where the entry is 0, 1 or 2;
  // with > (8-bit) only where it is 0 or 1. Row 0 holds 0 and 2, row 4 holds 1.
  const auto m24 = Convert(Make24(8, 8, [](int, int) { return Grey(8); }), kM3);
  const auto m8 = Convert(Make8(8, 8, [](int, int) { return 8; }), kM3);
  EXPECT_EQ(Row(m24, 0)[0], 0x88);  // columns 0 (entry 0) and 4 (entry 2)
  EXPECT_EQ(Row(m8, 0)[0], 0x80);   // column 0 only
  EXPECT_EQ(Row(m24, 4)[0], 0x08);  // column 4 (entry 1)
  EXPECT_EQ(Row(m8, 4)[0], 0x08);
  EXPECT_EQ(Row(m24, 1)[0], 0x00);
}

TEST(LogoDither, M4OnTwentyFourBitsUsesTheMeanBasedTransfer) {
  // Half the pixels at 60, half at 100: mean 80. Contrast 10 doubles the
  // distance to the mean: 40 and 120 (the ordinary transfer would give 54
  // and 97).
  const auto mono = Convert(Make24(16, 16, [](int x, int) { return Grey(x < 8 ? 60 : 100); }), kM4, 10);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const int level = x < 8 ? 40 : 120;
      const int t = kDitherM4[y][x];
      EXPECT_EQ(WhiteAt(mono, x, y), level >= t) << x << "," << y;
    }
  }
}

TEST(LogoDiffuse, OnePixelWideColumnPassesOnlyTheStraightShare) {
  // Bottom pixel 120 stays black and passes 3/8 of 120 = 45 up; 83 + 45 = 128
  // is not above 128 (black), 84 + 45 = 129 is (white). A 1/4 share or a
  // carry would push 83 over.
  auto column = [](int second) {
    return Make8(1, 2, [=](int, int y) { return static_cast<std::uint8_t>(y == 0 ? 120 : second); });
  };
  const auto black = Convert(column(83), kDiffuse);
  const auto white = Convert(column(84), kDiffuse);
  EXPECT_FALSE(WhiteAt(black, 0, 0));
  EXPECT_FALSE(WhiteAt(black, 0, 1));
  EXPECT_FALSE(WhiteAt(white, 0, 0));
  EXPECT_TRUE(WhiteAt(white, 0, 1));
}

TEST(LogoDiffuse, BottomRowRunsRightToLeftAndTheNextLeftToRight) {
  // Row 0 = [0, 100], right to left: 100 is black (e 100), carries 37 to the
  // left pixel and sends 37 up and 25 up-left; the left pixel 0 + 37 is black
  // and sends 13 up. Row 1 = [91, 92] then sees 91 + 38 = 129: white, error
  // -126 carries -47 right, where 92 + 37 - 47 = 82 stays black.
  const auto mono = Convert(Make8(2, 2, [](int x, int y) {
    const std::uint8_t rows[2][2] = {{0, 100}, {91, 92}};
    return rows[y][x];
  }), kDiffuse);
  EXPECT_EQ(Row(mono, 0)[0], 0x00);
  EXPECT_EQ(Row(mono, 1)[0], 0x80);
}

TEST(LogoSource, PixelRowsAreReadFromFixedOffsetsWhateverTheHeaderSays) {
  // An 8-bit file that declares a 2-entry palette and pixels at 62: the rows
  // are still read from 1078.
  auto file8 = Make8(4, 1, [](int, int) { return 255; });
  file8[10] = 62;
  file8[11] = file8[12] = file8[13] = 0;
  file8[46] = 2;
  file8[47] = 0;
  std::fill(file8.begin() + 62, file8.begin() + 1078, 0);
  EXPECT_EQ(Row(Convert(file8, kM3), 0)[0], 0xF0);
  // A 24-bit file whose header points further on is read from 54.
  auto file24 = Make24(4, 1, [](int, int) { return Grey(255); });
  file24[10] = 138;
  EXPECT_EQ(Row(Convert(file24, kM3), 0)[0], 0xF0);
}

struct BadSource {
  const char* what;
  std::vector<std::uint8_t> bytes;
  LogoStatus status;
};

std::vector<BadSource> BadSources() {
  const auto good24 = Make24(5, 3, [](int x, int y) { return Grey(40 * x + y); });
  const auto good8 = Make8(5, 3, [](int x, int y) { return static_cast<std::uint8_t>(40 * x + y); });
  auto with = [](std::vector<std::uint8_t> f, std::size_t at, std::vector<std::uint8_t> bytes) {
    std::copy(bytes.begin(), bytes.end(), f.begin() + static_cast<std::ptrdiff_t>(at));
    return f;
  };
  std::vector<BadSource> bad = {
      {"empty", {}, LogoStatus::kNotBitmap},
      {"shorter than the headers", {good24.begin(), good24.begin() + 53}, LogoStatus::kNotBitmap},
      {"not BM", with(good24, 0, {'B', 'A'}), LogoStatus::kNotBitmap},
      {"RLE8", with(good8, 30, {1}), LogoStatus::kCompressed},
      {"bitfields", with(good24, 30, {3}), LogoStatus::kCompressed},
      {"1 bit", with(good24, 28, {1}), LogoStatus::kUnsupportedDepth},
      {"4 bits", with(good24, 28, {4}), LogoStatus::kUnsupportedDepth},
      {"16 bits", with(good24, 28, {16}), LogoStatus::kUnsupportedDepth},
      {"32 bits", with(good24, 28, {32}), LogoStatus::kUnsupportedDepth},
      {"zero width", with(good24, 18, {0}), LogoStatus::kBadDimensions},
      {"zero height", with(good24, 22, {0}), LogoStatus::kBadDimensions},
      {"negative width", with(good24, 18, {0xFB, 0xFF, 0xFF, 0xFF}), LogoStatus::kBadDimensions},
      {"top-down (negative height)", with(good24, 22, {0xFD, 0xFF, 0xFF, 0xFF}), LogoStatus::kBadDimensions},
      {"24-bit rows one byte short", {good24.begin(), good24.end() - 1}, LogoStatus::kTruncated},
      {"8-bit rows one byte short", {good8.begin(), good8.end() - 1}, LogoStatus::kTruncated},
      {"8-bit file without the full palette", {good8.begin(), good8.begin() + 1078}, LogoStatus::kTruncated},
      {"height beyond the file", with(good24, 22, {4}), LogoStatus::kTruncated},
      {"width beyond the file", with(good8, 18, {9}), LogoStatus::kTruncated},
      {"huge width", with(good24, 18, {0xFF, 0xFF, 0xFF, 0x7F}), LogoStatus::kBadDimensions},
      {"huge 8-bit width", with(good8, 18, {0xFF, 0xFF, 0xFF, 0x7F}), LogoStatus::kTruncated},
      {"huge height", with(good8, 22, {0xFF, 0xFF, 0xFF, 0x7F}), LogoStatus::kTruncated},
  };
  return bad;
}

TEST(LogoBadInput, IsRefusedWithItsReasonAndNothingIsWritten) {
  for (const auto& bad : BadSources()) {
    for (int method = kNone; method <= kDiffuse; ++method) {
      const LogoResult result = ConvertLogoBytes(bad.bytes, LogoSettings{method, 0, 0});
      EXPECT_EQ(result.status, bad.status) << bad.what << " method " << method;
      EXPECT_TRUE(result.file.empty()) << bad.what;
    }
    MemoryFiles files;
    files.files["C:\\logos\\bad.bmp"] = bad.bytes;
    std::string result_path;
    EXPECT_EQ(ConvertLogoToMono(files, "C:\\logos\\bad.bmp", result_path, kM3, 0, 0), kConvertFailed) << bad.what;
    EXPECT_EQ(files.files.size(), 1u) << bad.what << ": a result was written";
  }
}

TEST(LogoBadInput, ErrorDiffuseIsBoundedByItsLineBuffers) {
  const auto at_limit = Make8(kDiffuseLineEntries, 2, [](int x, int) { return static_cast<std::uint8_t>(x); });
  const auto beyond = Make8(kDiffuseLineEntries + 1, 2, [](int x, int) { return static_cast<std::uint8_t>(x); });
  EXPECT_EQ(ConvertLogoBytes(at_limit, LogoSettings{kDiffuse, 0, 0}).status, LogoStatus::kOk);
  EXPECT_EQ(ConvertLogoBytes(beyond, LogoSettings{kDiffuse, 0, 0}).status, LogoStatus::kTooWide);
  // The other methods have no line buffers and take the wide image.
  EXPECT_EQ(ConvertLogoBytes(beyond, LogoSettings{kM4, 0, 0}).status, LogoStatus::kOk);
}

TEST(LogoBadInput, SettingsOutsideTheirRangesAreRefused) {
  const auto source = Make8(3, 3, [](int, int) { return 90; });
  for (const LogoSettings s : {LogoSettings{-1, 0, 0}, LogoSettings{4, 0, 0}, LogoSettings{0, 101, 0},
                               LogoSettings{0, -128, 0}, LogoSettings{2, 0, 101}, LogoSettings{3, 0, -101}}) {
    EXPECT_EQ(ConvertLogoBytes(source, s).status, LogoStatus::kBadSettings);
  }
  EXPECT_EQ(ConvertLogoBytes(source, LogoSettings{3, -100, 100}).status, LogoStatus::kOk);
}

TEST(LogoResultPath, DropsTheLastFourCharactersWhateverTheyAre) {
  EXPECT_EQ(LogoResultPath("logo.bmp"), "logoTemp.bmp");
  EXPECT_EQ(LogoResultPath("LOGO.BMP"), "LOGOTemp.bmp");
  EXPECT_EQ(LogoResultPath("C:\\shop\\shop.bmp"), "C:\\shop\\shopTemp.bmp");
  EXPECT_EQ(LogoResultPath("C:\\shop\\picture"), "C:\\shop\\picTemp.bmp");
  EXPECT_EQ(LogoResultPath(".bmp"), "Temp.bmp");
  EXPECT_EQ(LogoResultPath("a.b"), std::nullopt);
}

TEST(ConvertLogoToMono, WritesBesideTheSourceAndStoresTheName) {
  MemoryFiles files;
  files.files["D:\\art\\LOGO.BMP"] = Make24(3, 2, [](int x, int) { return Grey(x * 120); });
  files.files["D:\\art\\LOGOTemp.bmp"] = {1, 2, 3};  // left over from an earlier conversion
  std::string result_path = "unchanged";
  ASSERT_EQ(ConvertLogoToMono(files, "D:\\art\\LOGO.BMP", result_path, kNone, 0, 0), kConvertDone);
  EXPECT_EQ(result_path, "D:\\art\\LOGOTemp.bmp");
  const auto& written = files.files.at("D:\\art\\LOGOTemp.bmp");
  EXPECT_EQ(written, ConvertLogoBytes(files.files.at("D:\\art\\LOGO.BMP"), LogoSettings{kNone, 0, 0}).file);
}

TEST(ConvertLogoToMono, ReportsAMissingSourceAShortPathAndAFailedWrite) {
  MemoryFiles files;
  std::string result_path;
  EXPECT_EQ(ConvertLogoToMono(files, "C:\\none.bmp", result_path, kM3, 0, 0), kConvertFailed);
  EXPECT_EQ(ConvertLogoToMono(files, "a.b", result_path, kM3, 0, 0), kConvertFailed);
  EXPECT_EQ(files.reads, 1);  // the short path is refused before any read
  files.files["C:\\x.bmp"] = Make8(2, 2, [](int, int) { return 200; });
  files.refuse_writes = true;
  EXPECT_EQ(ConvertLogoToMono(files, "C:\\x.bmp", result_path, kM3, 0, 0), kConvertFailed);
  EXPECT_EQ(ConvertLogoFile(files, "C:\\x.bmp", "C:\\out.bmp", LogoSettings{kM3, 0, 0}), LogoStatus::kCannotWrite);
}

TEST(HostLogoFiles, ConvertsRealFilesAndRefusesAnUncreatableResult) {
  const auto dir = std::filesystem::temp_directory_path() / ("kit_logo_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  std::filesystem::create_directories(dir);
  const std::string source = (dir / "shop.bmp").string();
  const auto bytes = Make24(10, 4, [](int x, int y) { return Grey(x * 25 + y); });
  {
    std::ofstream out(source, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  HostLogoFiles files;
  std::string result_path;
  ASSERT_EQ(ConvertLogoToMono(files, source, result_path, kDiffuse, 20, -5), kConvertDone);
  EXPECT_EQ(result_path, (dir / "shopTemp.bmp").string());
  EXPECT_EQ(files.Read(result_path), ConvertLogoBytes(bytes, LogoSettings{kDiffuse, 20, -5}).file);
  const std::string nowhere = (dir / "missing" / "out.bmp").string();
  EXPECT_EQ(ConvertLogoFile(files, source, nowhere, LogoSettings{}), LogoStatus::kCannotWrite);
  EXPECT_FALSE(std::filesystem::exists(nowhere));
  // A source is mapped, not read: an empty file (which cannot be mapped) and
  // a missing one still give their own failures, and a mapped source still
  // reads as the file.
  const std::string empty = (dir / "empty.bmp").string();
  std::ofstream(empty).close();
  EXPECT_EQ(ConvertLogoFile(files, empty, (dir / "e.bmp").string(), LogoSettings{}), LogoStatus::kNotBitmap);
  EXPECT_EQ(ConvertLogoFile(files, (dir / "none.bmp").string(), (dir / "n.bmp").string(), LogoSettings{}),
            LogoStatus::kCannotRead);
  const auto mapped = files.ReadSource(source);
  ASSERT_TRUE(mapped.has_value());
  EXPECT_TRUE(std::ranges::equal(mapped->bytes(), bytes));
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace kit::logo
