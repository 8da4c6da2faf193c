// This file is OS-independent.
#include "plugin/pages/watermark/watermark_preview.h"

#include <algorithm>
#include <cmath>

namespace kit::plugin::watermark {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::int64_t kPercent = 100;

int Narrow(std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX)); }

}  // namespace

TextOffset TextOffsetFor(int width, int height, std::uint32_t angle) {
  const int hx = width / 2;
  const int hy = height / 2;
  const double a = angle * kRadiansPerDegree;
  return {static_cast<int>(std::trunc(hx * std::cos(a) - hy * std::sin(a))),
          static_cast<int>(std::trunc(hx * std::sin(a) + hy * std::cos(a)))};
}

std::vector<Placement> PlacePicture(int frame_width, int frame_height, int picture_width, int picture_height,
                                    int size, int position) {
  std::vector<Placement> out;
  const std::int64_t wf = frame_width, hf = frame_height, wi = picture_width, hi = picture_height;
  std::int64_t s = std::clamp(size, 0, 100);
  if (position == kTiledPosition) s = std::max<std::int64_t>(s, kMinTiledSize);
  if (wf <= 0 || hf <= 0 || wi <= 0 || hi <= 0 || s <= 0) return out;
  const std::int64_t w = wf * s / kPercent;
  std::int64_t hs = hi;
  if (const std::int64_t fit = hf * wi * kPercent / (s * wf); fit < hi) hs = fit;
  const std::int64_t h = std::min(s * wf * hs / (wi * kPercent), hf);
  if (w <= 0 || h <= 0 || hs <= 0) return out;

  if (position == kTiledPosition) {
    for (std::int64_t y = 0; y < hf; y += h) {
      for (std::int64_t x = 0; x < wf; x += w) {
        const std::int64_t cw = std::min(w, wf - x), ch = std::min(h, hf - y);
        const std::int64_t sw = std::max<std::int64_t>(wi * cw / w, 1), sh = std::max<std::int64_t>(hs * ch / h, 1);
        out.push_back({{Narrow(x), Narrow(y), Narrow(cw), Narrow(ch)}, {0, 0, Narrow(sw), Narrow(sh)}});
      }
    }
    return out;
  }
  const int column = std::clamp(position, 0, 8) % 3, row = std::clamp(position, 0, 8) / 3;
  const std::int64_t x = column == 0 ? 0 : column == 1 ? (wf - w) / 2 : wf - w;
  const std::int64_t y = row == 0 ? 0 : row == 1 ? (hf - h) / 2 : hf - h;
  const std::int64_t sy = row == 0 ? 0 : row == 1 ? (hi - hs) / 2 : hi - hs;
  out.push_back({{Narrow(x), Narrow(y), Narrow(w), Narrow(h)}, {0, Narrow(sy), Narrow(wi), Narrow(hs)}});
  return out;
}

void Brighten(ui::Bitmap& picture, int brightness) {
  const int add = std::clamp(brightness, 0, 255);
  for (std::uint32_t& p : picture.pixels) {
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8)
      out |= static_cast<std::uint32_t>(std::min(255, static_cast<int>((p >> shift) & 0xFF) + add)) << shift;
    p = out;
  }
}

ui::Bitmap ComposePreview(int frame_width, int frame_height, const ui::Bitmap& picture, int size, int position,
                          ui::StretchMode mode) {
  ui::Bitmap frame;
  if (frame_width <= 0 || frame_height <= 0) return frame;
  frame.width = frame_width;
  frame.height = frame_height;
  frame.pixels.assign(static_cast<std::size_t>(frame_width) * frame_height, kWhite);
  for (const Placement& p : PlacePicture(frame_width, frame_height, picture.width, picture.height, size, position))
    ui::StretchPicture(frame, p.dst, picture, p.src, mode);
  return frame;
}

}  // namespace kit::plugin::watermark
