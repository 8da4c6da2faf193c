// The text watermark drawn on its 300 x 300 white canvas: the chosen family's
// first ANSI face (the default face when the family is missing), sized in
// points for the screen, turned by the angle about the canvas centre.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <string>

#include "ui/bitmap.h"
#include "ui/canvas/canvas.h"

namespace kit::plugin::watermark {

// Font styles as stored: 0 Regular, 1 Italic, 2 Bold, 3 Bold Italic.
inline constexpr int kStyleCount = 4;
inline constexpr int kCanvasCentre = 150;

struct TextWatermark {
  std::u16string text;
  std::u16string family;
  int point_size = 50;
  int style = 0;
  std::uint32_t angle = 45;
};

// The font the text is drawn with: the first face the canvas reports for
// the family in the ANSI set, else a zeroed one (the default face); then
// height -MulDiv(points, pixels per inch, 72), escapement and orientation
// angle x 10, weight 400 or 700, italic, CLIP_LH_ANGLES.
ui::CanvasFont FontFor(const ui::Canvas& canvas, const TextWatermark& text);

// The 300 x 300 picture; empty when the canvas or font cannot be made.
ui::Bitmap RenderText(ui::Canvas& canvas, const TextWatermark& text);

}  // namespace kit::plugin::watermark
