// This file is OS-independent.
#include "plugin/render/core/watermark.h"
#include "plugin/render/core/render_settings.h"

#include <algorithm>

#include "common/bmp/grey.h"

namespace kit::render {
namespace {

constexpr int kMaxByte = 255;
constexpr int kColumns = 3;  // positions per row of the nine places

// The grey of a picture pixel, lightened by the brightness as the page's
// preview lightens it (every colour byte, capped at white).
int Grey(const Bitmap& picture, int x, int y, int brightness) {
  const std::uint32_t p = picture.At(x, y);
  const int r = std::min(kMaxByte, static_cast<int>((p >> 16) & 0xFF) + brightness);
  const int g = std::min(kMaxByte, static_cast<int>((p >> 8) & 0xFF) + brightness);
  const int b = std::min(kMaxByte, static_cast<int>(p & 0xFF) + brightness);
  return bmp::GreyLevel(r, g, b);
}

// Draws the source rows [sy0, sy0 + hs) of the picture stretched to w x h at (x0, y0).
void Stretch(MonoPage& page, const Bitmap& picture, int sy0, int hs, int x0, int y0, int w, int h, int frame_h,
             int brightness) {
  for (int y = 0; y < h; ++y) {
    const int py = y0 + y;
    if (py < 0 || py >= frame_h) continue;
    const int sy = sy0 + y * hs / h;
    for (int x = 0; x < w; ++x) {
      const int px = x0 + x;
      if (px < 0 || px >= page.width()) continue;
      if (DitherInk(Grey(picture, x * picture.width / w, sy, brightness), px, py)) page.Set(px, py);
    }
  }
}

}  // namespace

int DitherThreshold(int x, int y) {
  // The recursive Bayer matrix: the bits of x ^ y and y interleaved, most
  // significant pair last, give every cell of the 16 x 16 square its own
  // level, evenly spread at every density.
  const int a = x & (kDitherSize - 1), b = y & (kDitherSize - 1);
  const int c = a ^ b;
  int level = 0;
  for (int bit = 0; (1 << bit) < kDitherSize; ++bit) {
    level = (level << 1) | ((c >> bit) & 1);
    level = (level << 1) | ((b >> bit) & 1);
  }
  return level;
}

bool DitherInk(int grey, int x, int y) {
  // Cells whose threshold lies below the ink's share of the square print.
  return DitherThreshold(x, y) * kMaxByte * kWatermarkInkShare <
         (kMaxByte - std::clamp(grey, 0, kMaxByte)) * kDitherLevels;
}

void DrawWatermark(MonoPage& page, const Bitmap& picture, const WatermarkPlacement& placement) {
  if (picture.Empty() || page.width() == 0) return;
  const int frame_w = page.width();
  const int printed = page.PrintedHeight();
  const int frame_h = printed > 0 ? printed : page.height();
  const bool tiled = placement.position == kTiledPosition;
  const int s = tiled ? std::max(placement.size, kMinTiledSize) : placement.size;
  if (s <= 0 || frame_h <= 0) return;
  const int wi = picture.width, hi = picture.height;
  const int w = frame_w * s / kFullSize;
  if (w <= 0) return;
  // The preview's arithmetic: the rows of the picture that fit the frame.
  int hs = hi;
  const long long fit = static_cast<long long>(frame_h) * wi * kFullSize / (static_cast<long long>(s) * frame_w);
  if (fit < hi) hs = std::max(1, static_cast<int>(fit));  // a frame of a few rows still takes one
  const int h = std::clamp(static_cast<int>(static_cast<long long>(s) * frame_w * hs / (static_cast<long long>(wi) * kFullSize)),
                           1, frame_h);
  if (h <= 0 || hs <= 0) return;
  if (tiled) {
    for (int y0 = 0; y0 < frame_h; y0 += h) {
      for (int x0 = 0; x0 < frame_w; x0 += w) Stretch(page, picture, 0, hs, x0, y0, w, h, frame_h, placement.brightness);
    }
    return;
  }
  const int column = placement.position % kColumns, row = placement.position / kColumns;
  const int x0 = column == 0 ? 0 : column == 1 ? (frame_w - w) / 2 : frame_w - w;
  const int y0 = row == 0 ? 0 : row == 1 ? (frame_h - h) / 2 : frame_h - h;
  const int sy0 = row == 0 ? 0 : row == 1 ? (hi - hs) / 2 : hi - hs;
  Stretch(page, picture, sy0, hs, x0, y0, w, h, frame_h, placement.brightness);
}

}  // namespace kit::render
