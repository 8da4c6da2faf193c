// This file is OS-independent.
#include "common/hex/hex_text.h"

#include <algorithm>
#include <type_traits>

namespace kit {
namespace {

constexpr char32_t kSpace = U' ';
constexpr std::uint8_t kDigitBase = 16;
constexpr char kUpperDigits[] = "0123456789ABCDEF";

// Digit value of one character; anything that is not a hex digit counts as 0.
template <typename CharT>
std::uint8_t DigitValue(CharT c) {
  const auto u = static_cast<char32_t>(static_cast<std::make_unsigned_t<CharT>>(c));
  if (u >= U'1' && u <= U'9') return static_cast<std::uint8_t>(u - U'0');
  if (u >= U'a' && u <= U'f') return static_cast<std::uint8_t>(u - U'a' + 10);
  if (u >= U'A' && u <= U'F') return static_cast<std::uint8_t>(u - U'A' + 10);
  return 0;
}

template <typename CharT>
bool IsSpace(CharT c) {
  return static_cast<char32_t>(static_cast<std::make_unsigned_t<CharT>>(c)) == kSpace;
}

template <typename CharT>
std::vector<std::uint8_t> Convert(std::basic_string_view<CharT> text) {
  std::vector<std::uint8_t> out;
  out.reserve(text.size() / 2 + 1);
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n) {
    if (IsSpace(text[i])) {
      ++i;
      continue;
    }
    const std::uint8_t high = DigitValue(text[i]);
    if (i + 1 == n) {
      out.push_back(high);
      break;
    }
    if (IsSpace(text[i + 1])) {
      out.push_back(high);
    } else {
      // Two digits never exceed 255, so the byte is exact.
      out.push_back(static_cast<std::uint8_t>(high * kDigitBase + DigitValue(text[i + 1])));
    }
    i += 2;
  }
  return out;
}

template <typename CharT>
std::optional<CommandBytes> ToCommand(std::basic_string_view<CharT> text) {
  const auto all = Convert(text);
  if (all.size() > kMaxCommandBytes) return std::nullopt;
  CommandBytes command;
  std::copy(all.begin(), all.end(), command.bytes.begin());
  command.length = all.size();
  return command;
}

template <typename CharT>
std::basic_string<CharT> ToText(std::span<const std::uint8_t> bytes) {
  std::basic_string<CharT> out;
  out.reserve(bytes.size() * kHexCharsPerByte);
  for (const std::uint8_t b : bytes) {
    out.push_back(static_cast<CharT>(kUpperDigits[b / kDigitBase]));
    out.push_back(static_cast<CharT>(kUpperDigits[b % kDigitBase]));
    out.push_back(static_cast<CharT>(kSpace));
  }
  return out;
}

}  // namespace

std::vector<std::uint8_t> HexTextToBytes(std::u16string_view text) { return Convert(text); }
std::vector<std::uint8_t> HexTextToBytes(std::string_view text) { return Convert(text); }

std::optional<CommandBytes> HexTextToCommand(std::u16string_view text) { return ToCommand(text); }
std::optional<CommandBytes> HexTextToCommand(std::string_view text) { return ToCommand(text); }

std::u16string BytesToHexText(std::span<const std::uint8_t> bytes) { return ToText<char16_t>(bytes); }
std::string BytesToHexTextA(std::span<const std::uint8_t> bytes) { return ToText<char>(bytes); }

}  // namespace kit
