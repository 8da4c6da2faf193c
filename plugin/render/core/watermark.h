// The watermark on a printed page: the picture the Water Mark page wrote (a
// 24-bit bitmap, found as plugin/core/watermark/picture_place.h says), placed on
// the page as the page's preview places it in its frame, lightened by the
// brightness, then printed as a light tint: an ordered dither of its grey
// whose darkest, black, prints one dot in kWatermarkInkShare. A lighter
// picture (or a brighter setting) prints fewer dots, white none; the page's
// own print over it (text, a QR code) stays readable.
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

// The dither's threshold matrix is kDitherSize x kDitherSize, one threshold
// of 0..255 a cell, laid on the page's own dots (so tiles meet without a
// seam).
inline constexpr int kDitherSize = 16;
inline constexpr int kDitherLevels = kDitherSize * kDitherSize;
// The ordered-dither (Bayer) threshold of page dot (x, y), 0..255.
int DitherThreshold(int x, int y);
// Black in the picture prints one dot in this many: denser, a receipt's QR
// code under the default watermark (black text at brightness 50) no longer
// reads; sparser, a watermark barely shows on thermal paper.
inline constexpr int kWatermarkInkShare = 4;
// Whether a watermark dot of grey `grey` (0 black .. 255 white) at page dot
// (x, y) prints: at grey g, (255 - g) / 255 / kWatermarkInkShare of the
// cells do.
bool DitherInk(int grey, int x, int y);
// Tiled pictures are at least this percent wide (as the page keeps them).
inline constexpr int kMinTiledSize = 20;
inline constexpr int kTiledPosition = 9;

void DrawWatermark(MonoPage& page, const Bitmap& picture, const WatermarkPlacement& placement);

}  // namespace kit::render
