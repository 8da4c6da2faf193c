// This file is OS-independent.
#include "plugin/render/core/mono_page.h"
#include "plugin/render/core/render_settings.h"

#include <algorithm>

namespace kit::render {

MonoPage::MonoPage(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      stride_((static_cast<std::size_t>(width_) + 7) / 8),
      bits_(stride_ * static_cast<std::size_t>(height_), 0) {}

int MonoPage::PrintedHeight() const {
  for (int y = height_; y > 0; --y) {
    const std::uint8_t* row = Row(y - 1);
    if (std::any_of(row, row + stride_, [](std::uint8_t b) { return b != 0; })) return y;
  }
  return 0;
}

MonoPage Zoomed(const MonoPage& page, int percent) {
  if (percent >= kFullSize || percent <= 0) return page;
  MonoPage out(page.width(), page.height());
  const int w = page.width() * percent / kFullSize, h = page.height() * percent / kFullSize;
  for (int y = 0; y < h; ++y) {
    const int sy = y * kFullSize / percent;
    for (int x = 0; x < w; ++x) {
      if (page.Dot(x * kFullSize / percent, sy)) out.Set(x, y);
    }
  }
  return out;
}

int MonoPage::FirstPrintedRow() const {
  for (int y = 0; y < height_; ++y) {
    const std::uint8_t* row = Row(y);
    if (std::any_of(row, row + stride_, [](std::uint8_t b) { return b != 0; })) return y;
  }
  return height_;
}

void RotatePrintedPart(MonoPage& page) {
  const int top = page.FirstPrintedRow(), bottom = page.PrintedHeight();
  MonoPage turned(page.width(), page.height());
  for (int y = top; y < bottom; ++y) {
    for (int x = 0; x < page.width(); ++x) {
      if (page.Dot(x, y)) turned.Set(page.width() - 1 - x, top + bottom - 1 - y);
    }
  }
  page = std::move(turned);
}

}  // namespace kit::render
