// The watermark on the printed page: its grey, lightened by the brightness,
// prints as a light ordered dither (black one dot in four), so a lighter
// watermark prints fewer dots and the page's own print stays readable.
#include "plugin/render/core/watermark.h"

#include <gtest/gtest.h>

#include <set>

namespace kit::render {
namespace {

Bitmap Uniform(int width, int height, std::uint32_t colour) {
  Bitmap b;
  b.width = width;
  b.height = height;
  b.pixels.assign(static_cast<std::size_t>(width) * height, colour);
  return b;
}

int Dots(const MonoPage& page) {
  int n = 0;
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x) n += page.Dot(x, y) ? 1 : 0;
  return n;
}

TEST(WatermarkDither, EveryCellOfTheSquareHasItsOwnThreshold) {
  std::set<int> levels;
  for (int y = 0; y < kDitherSize; ++y)
    for (int x = 0; x < kDitherSize; ++x) levels.insert(DitherThreshold(x, y));
  EXPECT_EQ(levels.size(), static_cast<std::size_t>(kDitherLevels));
  EXPECT_EQ(*levels.begin(), 0);
  EXPECT_EQ(*levels.rbegin(), kDitherLevels - 1);
  // The square repeats along the page.
  EXPECT_EQ(DitherThreshold(3 + kDitherSize, 5 + 2 * kDitherSize), DitherThreshold(3, 5));
  // Black, the darkest a watermark prints, is one dot in every 2 x 2 block:
  // spread evenly, never stripes or blocks that could hide a QR module.
  for (int y = 0; y < kDitherSize; y += 2)
    for (int x = 0; x < kDitherSize; x += 2) {
      int inked = 0;
      for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx) inked += DitherInk(0, x + dx, y + dy) ? 1 : 0;
      EXPECT_EQ(inked, 1) << x << "," << y;
    }
}

// A 64 x 32 page all covered by a picture of one colour: the share of dots
// printed follows the picture's grey after the brightness.
TEST(WatermarkDither, ALighterWatermarkPrintsFewerDots) {
  struct Case {
    const char* what;
    std::uint32_t colour;
    int brightness;
    int dots;  // of 2048
  } cases[] = {
      {"black: one dot in four", 0x000000, 0, 512},
      {"white", 0xFFFFFF, 0, 0},
      {"mid grey", 0x808080, 0, 8 * 32},
      {"black at brightness 128", 0x000000, 128, 8 * 32},
      {"black at the default brightness 50", 0x000000, 50, 8 * 52},
      {"light grey 200", 0xC8C8C8, 0, 8 * 14},
      {"light grey 200 at brightness 55: white", 0xC8C8C8, 55, 0},
      {"pure red (grey 76)", 0xFF0000, 0, 8 * 45},
  };
  int last = 513;
  for (const Case& c : cases) {
    MonoPage page(64, 32);
    DrawWatermark(page, Uniform(64, 32, c.colour), {0, 100, c.brightness});
    EXPECT_EQ(Dots(page), c.dots) << c.what;
  }
  // Step by step from black to white the dots only ever get fewer.
  for (int brightness = 0; brightness <= 255; brightness += 15) {
    MonoPage page(64, 32);
    DrawWatermark(page, Uniform(64, 32, 0x000000), {0, 100, brightness});
    const int dots = Dots(page);
    EXPECT_LE(dots, last) << brightness;
    last = dots;
  }
  EXPECT_EQ(last, 0);
}

// Tiles meet without a seam: the dither is laid on the page, not on each
// copy of the picture.
TEST(WatermarkDither, TiledCopiesShareOnePattern) {
  MonoPage tiled(64, 32), whole(64, 32);
  DrawWatermark(tiled, Uniform(8, 8, 0x606060), {kTiledPosition, 20, 0});  // 12-dot tiles
  DrawWatermark(whole, Uniform(64, 32, 0x606060), {0, 100, 0});
  EXPECT_EQ(tiled.bits(), whole.bits());
}

}  // namespace
}  // namespace kit::render
