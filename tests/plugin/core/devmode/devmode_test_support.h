// Byte helpers shared by the PrivateDevMode tests. They read the record with
// their own little-endian code so that the tests do not trust the codec.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace kit::test {

inline std::uint32_t U32At(std::span<const std::uint8_t> b, std::size_t at) {
  return std::uint32_t{b[at]} | std::uint32_t{b[at + 1]} << 8 | std::uint32_t{b[at + 2]} << 16 |
         std::uint32_t{b[at + 3]} << 24;
}

inline void PutU32(std::span<std::uint8_t> b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline void PutText(std::span<std::uint8_t> b, std::size_t at, std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    b[at + 2 * i] = static_cast<std::uint8_t>(text[i] & 0xFF);
    b[at + 2 * i + 1] = static_cast<std::uint8_t>(text[i] >> 8);
  }
}

// The text stored at `at` in a field of `units` UTF-16 units, up to its NUL.
inline std::u16string TextAt(std::span<const std::uint8_t> b, std::size_t at, std::size_t units) {
  std::u16string out;
  for (std::size_t i = 0; i < units; ++i) {
    const char16_t c = static_cast<char16_t>(b[at + 2 * i] | b[at + 2 * i + 1] << 8);
    if (c == 0) break;
    out.push_back(c);
  }
  return out;
}

}  // namespace kit::test
