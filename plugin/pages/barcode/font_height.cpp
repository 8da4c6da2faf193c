// This file is OS-independent.
#include "plugin/pages/barcode/font_height.h"

#include <cstdio>

namespace kit::plugin::barcode {
namespace {

// The steps of the rounding, in tenths of a point.
constexpr std::uint64_t kHalfFromTenths = 4;
constexpr std::uint64_t kUpFromTenths = 7;
// A height in dots is dots * 72 / 180 = dots * 2 / 5 points: whole tenths.
constexpr std::uint32_t kPointsPerDotNumerator = 2;
constexpr std::uint32_t kPointsPerDotDenominator = 5;
constexpr std::uint64_t kTenthsPerDot = 4;  // 72 / 180 of a point, times 10
// Significand bits of a double, the leading one included.
constexpr int kDoubleSignificandBits = 53;
// Dots per half point, as a fraction: 180 / 72 / 2 = 5 / 4.
constexpr std::uint64_t kDotsPerHalfPointNumerator = 5;
constexpr std::uint64_t kDotsPerHalfPointDenominator = 4;

std::u16string Format(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%5.1f", value);
  return std::u16string(buffer, buffer + std::char_traits<char>::length(buffer));
}

int BitWidth(std::uint64_t value) {
  int bits = 0;
  for (; value != 0; value >>= 1) ++bits;
  return bits;
}

// Whether the double nearest to twice_dots / 5 (a value of at least 1 whose
// fraction is .4) lies below it. The double keeps 53 significant bits:
// p * 2^s with s = 53 - bit width of the whole part is rounded to an
// integer, and it rounds down when the fraction of p * 2^s, (twice_dots *
// 2^s mod 5) / 5, is below one half. 2^s mod 5 repeats 1, 2, 4, 3.
bool NearestDoubleBelow(std::uint64_t twice_dots, std::uint64_t whole) {
  static constexpr std::uint64_t kPowersOfTwoMod5[4] = {1, 2, 4, 3};
  const int shift = kDoubleSignificandBits - BitWidth(whole);
  const std::uint64_t remainder = twice_dots % kPointsPerDotDenominator * kPowersOfTwoMod5[shift % 4] %
                                  kPointsPerDotDenominator;
  return remainder * 2 < kPointsPerDotDenominator;
}

}  // namespace

// The point size is defined on doubles: p = total * 72 / 180, n = p
// truncated, f = p - n, compared with the doubles 0.4 and 0.7. It is
// computed here on integers with the same result, so that it does not hang
// on how the processor rounds (x87 at any precision setting, or SSE2): a
// total of 5k + 1 dots is exactly n.4 points, right on the 0.4 step, and the
// double nearest n.4 lies below it for some n (42.4 rounds to 42.0) and
// above for others (8.4 to 8.5). For n >= 1 the difference f - 0.4 between
// the two stored doubles is below 0.4's when the nearest double to n.4 lies
// below n.4 (0.4's own lies above 0.4, by a fifth of 2^-53, a smaller step
// than any rounding of n.4 upwards); for n = 0, f is the double 0.4 itself.
FontHeight ComputeFontHeight(std::uint32_t bar_height, std::uint8_t hri_position, std::uint8_t hri_font) {
  const std::uint32_t once = hri_font == 0 ? kHriHeightFontA : kHriHeightFontB;
  const std::uint32_t lines = hri_position == 1 || hri_position == 2 ? 1 : hri_position == 3 ? 2 : 0;
  FontHeight h;
  h.total = bar_height + once * lines;
  const std::uint64_t twice = static_cast<std::uint64_t>(h.total) * kPointsPerDotNumerator;
  const std::uint64_t whole = twice / kPointsPerDotDenominator;
  const std::uint64_t tenths = twice % kPointsPerDotDenominator * 10 / kPointsPerDotDenominator;
  std::uint64_t halves = 2 * whole;
  if (tenths == kHalfFromTenths) {
    if (whole == 0 || !NearestDoubleBelow(twice, whole)) halves += 1;
  } else if (tenths > kHalfFromTenths) {
    halves += tenths < kUpFromTenths ? 1 : 2;
  }
  h.points = static_cast<double>(halves) / 2;  // exact: a whole number of halves
  h.preview_height = static_cast<std::uint32_t>(halves * kDotsPerHalfPointNumerator / kDotsPerHalfPointDenominator);
  if (h.preview_height == 0) h.preview_height = kMinPreviewHeight;
  return h;
}

std::u16string MillimetreText(std::uint32_t dots) {
  return Format(static_cast<double>(dots) * kMillimetresPerInch / kDotsPerInch);
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
