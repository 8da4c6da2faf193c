// The number in a digits-only edit as the pages read it: its leading digits,
// 0 when there are none (an empty edit), capped so that no typed length can
// overflow.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <string_view>

namespace kit::plugin::barcode {

inline std::uint32_t EditNumber(std::u16string_view text) {
  constexpr std::uint32_t kCap = 1000000;
  std::uint32_t value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') break;
    value = value * 10 + static_cast<std::uint32_t>(c - u'0');
    if (value > kCap) value = kCap;
  }
  return value;
}

}  // namespace kit::plugin::barcode
