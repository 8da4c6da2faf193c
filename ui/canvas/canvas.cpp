// This file is OS-independent.
#include "ui/canvas/canvas.h"

#include <algorithm>

namespace kit::ui {

void StretchPicture(Bitmap& target, const Rect& dst, const Bitmap& picture, const Rect& src, StretchMode mode) {
  if (dst.cx <= 0 || dst.cy <= 0 || src.cx <= 0 || src.cy <= 0 || picture.Empty() || target.Empty()) return;
  // Source span [first, last) of target column or row `i` of `count`.
  auto span = [](std::int64_t i, std::int64_t count, std::int64_t origin, std::int64_t size) {
    std::int64_t first = origin + i * size / count;
    std::int64_t last = origin + (i + 1) * size / count;
    return std::pair{first, std::max(last, first + 1)};
  };
  for (int y = 0; y < dst.cy; ++y) {
    const std::int64_t ty = std::int64_t{dst.y} + y;
    if (ty < 0 || ty >= target.height) continue;
    auto [sy0, sy1] = span(y, dst.cy, src.y, src.cy);
    sy0 = std::max<std::int64_t>(sy0, 0);
    sy1 = std::min<std::int64_t>(sy1, picture.height);
    if (sy0 >= sy1) continue;
    for (int x = 0; x < dst.cx; ++x) {
      const std::int64_t tx = std::int64_t{dst.x} + x;
      if (tx < 0 || tx >= target.width) continue;
      auto [sx0, sx1] = span(x, dst.cx, src.x, src.cx);
      sx0 = std::max<std::int64_t>(sx0, 0);
      sx1 = std::min<std::int64_t>(sx1, picture.width);
      if (sx0 >= sx1) continue;
      std::uint32_t pixel = picture.At(static_cast<int>(sx0), static_cast<int>(sy0));
      if (mode == StretchMode::kBlackOnWhite) {
        for (std::int64_t sy = sy0; sy < sy1; ++sy)
          for (std::int64_t sx = sx0; sx < sx1; ++sx) pixel &= picture.At(static_cast<int>(sx), static_cast<int>(sy));
      }
      target.pixels[static_cast<std::size_t>(ty) * target.width + static_cast<std::size_t>(tx)] = pixel & 0xFFFFFF;
    }
  }
}

}  // namespace kit::ui
