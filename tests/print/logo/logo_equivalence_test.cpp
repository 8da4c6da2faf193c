// The table-driven converter must give exactly the bits of the plain
// per-pixel rules on varied images, sizes and settings.
#include <gtest/gtest.h>

#include <random>

#include "print/logo/logo_convert.h"
#include "tests/print/logo/reference_converter.h"
#include "tests/print/logo/test_images.h"

namespace kit::logo {
namespace {

using testing::Bgr;

enum class Pattern { kNoise, kGradient, kFlat, kStripes };

std::uint8_t Level(Pattern pattern, std::mt19937& rng, int x, int y, int w, int h, int salt) {
  switch (pattern) {
    case Pattern::kNoise: return static_cast<std::uint8_t>(rng());
    case Pattern::kGradient: return static_cast<std::uint8_t>((255 * x / std::max(1, w - 1) + 97 * y / std::max(1, h) + salt) & 0xFF);
    case Pattern::kFlat: return static_cast<std::uint8_t>(salt * 37);
    case Pattern::kStripes: return ((x / 3 + y) % 2) ? 250 : static_cast<std::uint8_t>(salt);
  }
  return 0;
}

std::vector<std::uint8_t> RandomSource(std::mt19937& rng, int w, int h, bool is24) {
  const auto pattern = static_cast<Pattern>(rng() % 4);
  if (is24) {
    return testing::Make24(w, h, [&](int x, int y) {
      return Bgr{Level(pattern, rng, x, y, w, h, 11), Level(pattern, rng, x, y, w, h, 90), Level(pattern, rng, x, y, w, h, 200)};
    });
  }
  return testing::Make8(w, h, [&](int x, int y) { return Level(pattern, rng, x, y, w, h, 60); });
}

void ExpectSameBits(const std::vector<std::uint8_t>& source, int method, int contrast, int brightness) {
  const LogoResult fast = ConvertLogoBytes(source, LogoSettings{method, contrast, brightness});
  const auto slow = testing::ReferenceConvert(source, method, contrast, brightness);
  ASSERT_TRUE(slow.has_value());
  ASSERT_EQ(fast.status, LogoStatus::kOk);
  ASSERT_EQ(fast.file, *slow) << "method " << method << " contrast " << contrast << " brightness " << brightness;
}

TEST(LogoEquivalence, SmallImagesOfEverySizeMethodAndSetting) {
  std::mt19937 rng(20261207);
  const int settings[] = {-100, -99, -57, -13, -1, 0, 1, 9, 50, 99, 100};
  for (int round = 0; round < 600; ++round) {
    const int w = 1 + static_cast<int>(rng() % 70);
    const int h = 1 + static_cast<int>(rng() % 40);
    const bool is24 = rng() % 2;
    const auto source = RandomSource(rng, w, h, is24);
    const int contrast = settings[rng() % 11];
    const int brightness = settings[rng() % 11];
    for (int method = 0; method <= 3; ++method) {
      SCOPED_TRACE(::testing::Message() << w << "x" << h << (is24 ? " 24-bit" : " 8-bit"));
      ExpectSameBits(source, method, contrast, brightness);
    }
  }
}

TEST(LogoEquivalence, LargestImageTheDownloadPageAdmits) {
  std::mt19937 rng(7);
  for (const bool is24 : {true, false}) {
    const auto source = RandomSource(rng, 1024, 768, is24);
    for (int method = 0; method <= 3; ++method) ExpectSameBits(source, method, -37, 12);
  }
}

// The rows are decided sixteen pixels a step with a shorter last step, so
// widths on either side of 8, 16 and the page's 1024 matter; extreme settings
// saturate the levels, where a threshold of "never white" (Dither M4 on 8-bit
// at 255) and "always white" (Dither M3 on 24-bit at 0) appear.
TEST(LogoEquivalence, OddWidthsAroundTheByteAndWordEdges) {
  std::mt19937 rng(99);
  const int settings[][2] = {{25, -25}, {0, 0}, {100, 100}, {-100, -100}, {100, -100}, {-100, 100}};
  for (const int w : {1, 7, 8, 9, 15, 16, 17, 31, 32, 33, 63, 64, 65, 1023, 1024, 1025, 2000}) {
    for (const int h : {1, 3, 17}) {
      for (const bool is24 : {true, false}) {
        const auto source = RandomSource(rng, w, h, is24);
        for (const auto& [contrast, brightness] : settings) {
          SCOPED_TRACE(::testing::Message() << w << "x" << h << (is24 ? " 24-bit" : " 8-bit"));
          for (int method = 0; method <= 3; ++method) ExpectSameBits(source, method, contrast, brightness);
        }
      }
    }
  }
}

// Error diffusion on pictures that push the carried errors to their extremes:
// alternating black and white columns and rows, and levels just either side
// of the white threshold, over several rows so errors build up.
TEST(LogoEquivalence, ErrorDiffusionAtItsExtremeErrors) {
  using Picture = std::uint8_t (*)(int x, int y);
  const Picture pictures[] = {
      [](int x, int) -> std::uint8_t { return x % 2 ? 255 : 0; },
      [](int x, int y) -> std::uint8_t { return (x + y) % 2 ? 255 : 0; },
      [](int x, int y) -> std::uint8_t { return (x / 2 + y) % 2 ? 129 : 128; },
      [](int x, int) -> std::uint8_t { return x % 3 == 0 ? 1 : 254; },
  };
  for (const Picture picture : pictures) {
    for (const int w : {2, 9, 1025}) {
      const auto grey = testing::Make8(w, 40, picture);
      const auto colour = testing::Make24(w, 40, [&](int x, int y) {
        const std::uint8_t v = picture(x, y);
        return Bgr{v, v, v};
      });
      for (const int contrast : {0, 60, -100}) {
        ExpectSameBits(grey, 3, contrast, 0);
        ExpectSameBits(colour, 3, contrast, 0);
      }
    }
  }
}

}  // namespace
}  // namespace kit::logo
