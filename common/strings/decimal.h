// A whole number as the decimal text the plug-in's pages show and write
// ("%d" / "%u" of wsprintfW): digits, a minus sign before a negative one.
// This file is OS-independent.
#pragma once

#include <concepts>
#include <string>

namespace kit {

template <std::integral T>
std::u16string DecimalText(T value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace kit
