// Fixed-capacity text buffers.
//
// Many of the kit's texts live in buffers of a fixed size (names of 50
// characters, file names of 200, texts of 1024 or 2048). The capacity is part
// of the behaviour: a value that does not fit is cut, never overflowed, and a
// buffer of N characters holds at most N - 1 of them plus the terminator.
// This file is OS-independent.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kit {

// Named capacities (characters, terminator included) used across the kit.
inline constexpr std::size_t kNameCapacity = 50;
inline constexpr std::size_t kFileNameCapacity = 200;

// The text a buffer of `capacity` characters keeps of `value`: at most
// capacity - 1 characters, cut at the first terminator. A capacity of 0 keeps
// nothing.
template <typename CharT>
std::basic_string<CharT> CopyCapped(std::basic_string_view<CharT> value, std::size_t capacity) {
  if (capacity == 0) return {};
  const auto nul = value.find(CharT{});
  if (nul != std::basic_string_view<CharT>::npos) value = value.substr(0, nul);
  return std::basic_string<CharT>(value.substr(0, capacity - 1));
}

inline std::string CopyCapped(std::string_view value, std::size_t capacity) {
  return CopyCapped<char>(value, capacity);
}
inline std::u16string CopyCapped(std::u16string_view value, std::size_t capacity) {
  return CopyCapped<char16_t>(value, capacity);
}

// Writes `value` into a caller's buffer of `capacity` characters, cutting it
// to fit and always terminating it (when capacity > 0). Returns the number of
// characters written, terminator excluded.
template <typename CharT>
std::size_t CopyToBuffer(std::basic_string_view<CharT> value, CharT* buffer, std::size_t capacity) {
  if (buffer == nullptr || capacity == 0) return 0;
  const auto kept = CopyCapped<CharT>(value, capacity);
  kept.copy(buffer, kept.size());
  buffer[kept.size()] = CharT{};
  return kept.size();
}

}  // namespace kit
