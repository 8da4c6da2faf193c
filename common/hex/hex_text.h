// Raw printer commands edited as hexadecimal text.
//
// The Operation dialog and the control-font table let the user type raw
// printer commands as text such as "1D 56 42 00". This unit turns such text
// into bytes with the kit's own lenient rule and turns bytes back into the
// display form "1D 56 42 00 " (two upper-case digits and a space per byte).
//
// The lenient rule, character by character:
//   - a space is skipped;
//   - any other character has a digit value: "1"-"9" are 1-9, "a"-"f" and
//     "A"-"F" are 10-15, and every other character (including "0") is 0;
//   - the last character of the text, or a character followed by a space,
//     is one byte on its own ("A 0D" gives 0A 0D);
//   - otherwise a character and the next one form one byte ("ABC" gives
//     AB 0C).
// Pasted text is therefore never refused: stray characters simply count as 0.
//
// A stored command holds at most kMaxCommandBytes bytes. The conversion
// reports every byte the text describes, so a caller can tell a command that
// is too long from one that fits; nothing is cut silently.
// This file is OS-independent.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kit {

// Most bytes a stored raw command holds.
inline constexpr std::size_t kMaxCommandBytes = 128;

// Capacity (characters, terminator included) of the text read from a command
// box or from a stored command value: at most 399 characters are converted.
inline constexpr std::size_t kCommandTextCapacity = 400;

// Characters of the display form per byte: two digits and a space.
inline constexpr std::size_t kHexCharsPerByte = 3;

// Every byte `text` describes under the lenient rule, however many.
std::vector<std::uint8_t> HexTextToBytes(std::u16string_view text);
std::vector<std::uint8_t> HexTextToBytes(std::string_view text);

// A command as stored: `length` bytes, the rest of `bytes` zero.
struct CommandBytes {
  std::array<std::uint8_t, kMaxCommandBytes> bytes{};
  std::size_t length = 0;

  std::span<const std::uint8_t> used() const { return {bytes.data(), length}; }
};

// The stored form of `text`, or nothing when the text describes more than
// kMaxCommandBytes bytes (the caller reports "Command length error").
std::optional<CommandBytes> HexTextToCommand(std::u16string_view text);
std::optional<CommandBytes> HexTextToCommand(std::string_view text);

// The display form of `bytes`: each byte as two upper-case hex digits
// followed by one space ("1D 56 42 00 "); no bytes give an empty text.
std::u16string BytesToHexText(std::span<const std::uint8_t> bytes);
std::string BytesToHexTextA(std::span<const std::uint8_t> bytes);

}  // namespace kit
