// The grey level of a colour, as the printer logo and every picture preview
// of the kit take it: luminance weights 299, 587, 114 per mille, truncated.
// This file is OS-independent.
#pragma once

namespace kit::bmp {

inline constexpr int kGreyRedWeight = 299;
inline constexpr int kGreyGreenWeight = 587;
inline constexpr int kGreyBlueWeight = 114;
inline constexpr int kGreyWeightScale = 1000;

constexpr int GreyLevel(int red, int green, int blue) {
  return (kGreyRedWeight * red + kGreyGreenWeight * green + kGreyBlueWeight * blue) / kGreyWeightScale;
}

}  // namespace kit::bmp
