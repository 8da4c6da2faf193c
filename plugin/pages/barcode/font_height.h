// The point size an application picks for a 1D barcode font: the bar height
// plus its HRI lines, in 1/180-inch dots, as points rounded to halves.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <string>

namespace kit::plugin::barcode {

// HRI line height in dots, once, for Font A and Font B.
inline constexpr std::uint32_t kHriHeightFontA = 24;
inline constexpr std::uint32_t kHriHeightFontB = 17;
inline constexpr double kDotsPerInch = 180.0;
inline constexpr double kPointsPerInch = 72.0;
inline constexpr std::uint32_t kTenthsMmPerInch = 254;
// The smallest height kept when the rounded size is 0.
inline constexpr std::uint32_t kMinPreviewHeight = 2;

struct FontHeight {
  std::uint32_t total = 0;           // bar height + HRI allowance, dots
  double points = 0;                 // rounded point size
  std::uint32_t preview_height = 0;  // the rounded size back in dots
};

// `hri_position` 0 none, 1 above, 2 below, 3 both; `hri_font` 0 A, else B.
// p = total * 72 / 180 in exact tenths (PointsOf): a fraction below 0.4
// rounds down, below 0.7 to a half, else up; the stored height is p back in
// dots, truncated.
FontHeight ComputeFontHeight(std::uint32_t bar_height, std::uint8_t hri_position, std::uint8_t hri_font);

// The displays: millimetres of a height in dots, and a point size, "%5.1f".
// The millimetres are dots * 25.4 / 180 in whole tenths, a half tenth up
// (135 dots: 19.05 shows 19.1), worked in integers: the same in every build
// (x87 at 64-bit precision put 19.05 below the half and showed 19.0).
std::u16string MillimetreText(std::uint32_t dots);
std::u16string PointText(double points);
// The point size a stored height in dots stands for, rounded by the same
// steps (a stored 187 shows 75.0, 163 shows 65.0, 66 shows 26.5).
double PointsOf(std::uint32_t dots);

}  // namespace kit::plugin::barcode
