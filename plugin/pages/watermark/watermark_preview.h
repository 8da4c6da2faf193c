// Where the watermark goes: the text's turn about the 300 x 300 canvas's
// centre, and the picture's place in the preview frame (nine places or
// tiled, its width a percentage of the frame's), with brightness added.
// All of it in 64-bit integers; a frame, picture or drawn size of 0 draws
// nothing, so the frame stays white.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <vector>

#include "ui/bitmap.h"
#include "ui/canvas/canvas.h"

namespace kit::plugin::watermark {

// Degrees to radians as the printing side turns the text (a hair above
// pi/180, so that 90 degrees gives dx = -10, not -9, for a 100 x 20 text).
inline constexpr double kRadiansPerDegree = 0.017453292522222223;
inline constexpr int kTiledPosition = 9;
inline constexpr int kPositionCount = 10;
inline constexpr int kMinTiledSize = 20;

// The text's baseline offset from the canvas centre for a text that
// measures width x height, turned by `angle` degrees:
// dx = trunc(hx cos a - hy sin a), dy = trunc(hx sin a + hy cos a).
struct TextOffset {
  int dx = 0;
  int dy = 0;
  bool operator==(const TextOffset&) const = default;
};
TextOffset TextOffsetFor(int width, int height, std::uint32_t angle);

// One stretch of the picture into the frame.
struct Placement {
  ui::Rect dst;
  ui::Rect src;
  bool operator==(const Placement&) const = default;
};
// The stretches for a picture of `picture_width` x `picture_height` in a
// frame of `frame_width` x `frame_height` at `size` percent and `position`
// (0..8 left/centre/right by top/middle/bottom, 9 tiled; size raised to 20
// when tiled). None when anything is of zero size.
std::vector<Placement> PlacePicture(int frame_width, int frame_height, int picture_width, int picture_height,
                                    int size, int position);

// Adds `brightness` to every colour byte, capped at 255.
void Brighten(ui::Bitmap& picture, int brightness);

// The frame's picture: white, with `picture` stretched into its places.
ui::Bitmap ComposePreview(int frame_width, int frame_height, const ui::Bitmap& picture, int size, int position,
                          ui::StretchMode mode);

}  // namespace kit::plugin::watermark
