// The watermark on a printed page: the picture the Water Mark page wrote to
// the temporary folder ("<temp><printer>1.bmp", a 24-bit bitmap), placed on
// the page as the page's preview places it in its frame, lightened by the
// brightness, then printed as dots where it stays darker than mid grey.
//
// The frame is the printed part of the page (its top to its last printed
// row; the whole page when nothing else prints): a watermark never makes a
// receipt longer. The watermark prints under the page's own dots.
//
// This file is OS-independent.
#pragma once

#include <string>
#include <string_view>

#include "common/bmp/bitmap.h"
#include "plugin/render/core/mono_page.h"

namespace kit::render {

struct WatermarkPlacement {
  int position = 4;      // 0..8 the nine places row by row, 9 tiled
  int size = 100;        // percent of the frame's width
  int brightness = 50;   // added to every colour byte, capped at 255
};

// Grey below this prints as a dot.
inline constexpr int kInkThreshold = 128;
// Tiled pictures are at least this percent wide (as the page keeps them).
inline constexpr int kMinTiledSize = 20;
inline constexpr int kTiledPosition = 9;

// "<temp folder><printer>1.bmp": the temporary folder keeps its trailing
// backslash, as GetTempPath gives it.
std::u16string WatermarkFilePath(std::u16string_view temp_folder, std::u16string_view printer);

void DrawWatermark(MonoPage& page, const Bitmap& picture, const WatermarkPlacement& placement);

}  // namespace kit::render
