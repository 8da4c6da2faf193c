// This file is OS-independent.
#include "plugin/pages/barcode/font_height.h"

#include <cstdio>

namespace kit::plugin::barcode {
namespace {

// A half point is 180 / 144 = 5 / 4 dots.
constexpr std::uint64_t kDotsPerHalfPointNumerator = 5;
constexpr std::uint64_t kDotsPerHalfPointDenominator = 4;
// The same steps in tenths, for a height in whole dots.
constexpr std::uint64_t kTenthsPerDot = 4;  // 72 / 180 of a point, times 10
constexpr std::uint64_t kHalfFromTenths = 4;
constexpr std::uint64_t kUpFromTenths = 7;

std::u16string Format(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%5.1f", value);
  return std::u16string(buffer, buffer + std::char_traits<char>::length(buffer));
}

}  // namespace

FontHeight ComputeFontHeight(std::uint32_t bar_height, std::uint8_t hri_position, std::uint8_t hri_font) {
  const std::uint32_t once = hri_font == 0 ? kHriHeightFontA : kHriHeightFontB;
  const std::uint32_t lines = hri_position == 1 || hri_position == 2 ? 1 : hri_position == 3 ? 2 : 0;
  FontHeight h;
  h.total = bar_height + once * lines;
  // One exact rule for the shown size and the stored height: the tenths of
  // PointsOf (a double product puts 26.4 a hair below .4 and rounds 66 dots
  // down to 26.0), and the half points back in dots, truncated.
  h.points = PointsOf(h.total);
  const auto half_points = static_cast<std::uint64_t>(h.points * 2);  // exact: whole or half points
  h.preview_height = static_cast<std::uint32_t>(half_points * kDotsPerHalfPointNumerator / kDotsPerHalfPointDenominator);
  if (h.preview_height == 0) h.preview_height = kMinPreviewHeight;
  return h;
}

std::u16string MillimetreText(std::uint32_t dots) {
  constexpr std::uint64_t kDots = static_cast<std::uint64_t>(kDotsPerInch);
  const std::uint64_t tenths = (static_cast<std::uint64_t>(dots) * kTenthsMmPerInch + kDots / 2) / kDots;
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%3llu.%llu", static_cast<unsigned long long>(tenths / 10),
                static_cast<unsigned long long>(tenths % 10));
  return std::u16string(buffer, buffer + std::char_traits<char>::length(buffer));
}
std::u16string PointText(double points) { return Format(points); }
double PointsOf(std::uint32_t dots) {
  // dots * 72 / 180 is dots * 4 tenths of a point: whole tenths, so the
  // fraction is taken exactly (66 dots are 26.4 points, a half-point step).
  const std::uint64_t tenths = static_cast<std::uint64_t>(dots) * kTenthsPerDot;
  const std::uint64_t whole = tenths / 10;
  const std::uint64_t fraction = tenths % 10;
  const double n = static_cast<double>(whole);
  return fraction < kHalfFromTenths ? n : fraction < kUpFromTenths ? n + 0.5 : n + 1;
}

}  // namespace kit::plugin::barcode
