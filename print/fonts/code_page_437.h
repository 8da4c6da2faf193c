// Code page 437, the page the printer starts in (1B 74 00): the characters
// of its bytes 80..FF, and Unicode to the page as Windows' built-in
// conversion for it (CC_CP437) turns text into the printer's codes. A
// character the page lacks becomes the printer's substitute '?'.
//
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kit::print::fonts {

inline constexpr char kSubstituteCharacter = '?';

// The character of a byte of the page.
char16_t Cp437Character(std::uint8_t byte);
// The bytes of a text in the page, a character it lacks as the substitute.
std::string ToCp437(std::u16string_view text);

}  // namespace kit::print::fonts
