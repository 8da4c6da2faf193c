// This file is OS-independent.
#include "plugin/pages/watermark/watermark_text.h"

#include <cmath>

#include "plugin/pages/watermark/watermark_picture.h"
#include "plugin/pages/watermark/watermark_preview.h"

namespace kit::plugin::watermark {
namespace {

constexpr int kPointsPerInch = 72;
constexpr ui::Color kWhite{255, 255, 255};
constexpr ui::Color kBlack{0, 0, 0};

// MulDiv: a * b / c rounded half away from zero, in 64 bits.
int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const std::int64_t product = std::int64_t{a} * b;
  const std::int64_t half = (c > 0 ? c : -c) / 2;
  const std::int64_t q = (product >= 0) == (c > 0) ? (std::llabs(product) + half) / std::llabs(c)
                                                   : -((std::llabs(product) + half) / std::llabs(c));
  return static_cast<int>(q);
}

}  // namespace

ui::CanvasFont FontFor(const ui::Canvas& canvas, const TextWatermark& text) {
  ui::CanvasFont font = canvas.FirstFaceOf(text.family, ui::kCharsetAnsi).value_or(ui::CanvasFont{});
  font.height = -MulDiv(text.point_size, canvas.PixelsPerInchY(), kPointsPerInch);
  font.escapement = static_cast<int>(text.angle) * 10;
  font.orientation = font.escapement;
  font.weight = text.style >= 2 ? ui::kWeightBold : ui::kWeightRegular;
  font.italic = text.style == 1 || text.style == 3;
  font.clip_precision = ui::kClipLhAngles;
  return font;
}

ui::Bitmap RenderText(ui::Canvas& canvas, const TextWatermark& text) {
  if (!canvas.Reset(kTextPictureSide, kTextPictureSide, kWhite)) return {};
  if (!canvas.SelectFont(FontFor(canvas, text))) return {};
  const ui::TextExtent extent = canvas.Measure(text.text);
  const TextOffset offset = TextOffsetFor(extent.cx, extent.cy, text.angle);
  canvas.DrawBaselineText(kCanvasCentre - offset.dx, kCanvasCentre + offset.dy, text.text, kBlack, kWhite);
  return canvas.Pixels();
}

}  // namespace kit::plugin::watermark
