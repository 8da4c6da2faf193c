// The outcome texts of the printer-class driver install, in the language of
// the system. The Chinese texts are kept as bytes of their own ANSI code
// page (950 traditional, 936 simplified), as the system shows and logs them.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kit::usbinstall {

struct OutcomeTexts {
  std::string_view success;
  std::string_view failure;
  std::string_view device_absent;  // advice when no device matched
};

// The texts for a system default language id.
OutcomeTexts OutcomeTextsFor(std::uint16_t language_id);

// The failure text holds at most this many bytes.
inline constexpr std::size_t kFailureTextCapacity = 260;

// The failure sentence directly followed by the device-absent advice (for
// ERROR_NO_SUCH_DEVINST) or by the system's text for the error, cut to
// kFailureTextCapacity - 1 bytes without splitting a double-byte character
// of `code_page`.
std::string FailureText(const OutcomeTexts& texts, std::uint32_t error, std::string_view system_text,
                        unsigned code_page);

// Keeps at most capacity - 1 bytes of an ANSI text, never half of a
// double-byte character of code page 936 or 950.
std::string CutAnsi(std::string_view text, std::size_t capacity, unsigned code_page);

}  // namespace kit::usbinstall
