// A plain, per-pixel transcription of the logo conversion rules, kept apart
// from the product's table-driven converter so that the two can be compared
// bit for bit on many inputs. Written for clarity, not speed.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kit::logo::testing {

int ReferenceAdjustLevel(int v, int c, int b);
int ReferenceAdjustAroundMean(int v, int m, int c, int b);

// The one-bit result file, or nothing where the converter must refuse.
std::optional<std::vector<std::uint8_t>> ReferenceConvert(std::span<const std::uint8_t> source, int halftone,
                                                          int contrast, int brightness);

}  // namespace kit::logo::testing
