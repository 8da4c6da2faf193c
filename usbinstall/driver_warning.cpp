// This file is OS-independent.
#include "usbinstall/driver_warning.h"

namespace kit::usbinstall {
namespace {

// Signature words of an extended dialog template (DLGTEMPLATEEX).
constexpr std::uint16_t kExtendedVersion = 1;
constexpr std::uint16_t kExtendedSignature = 0xFFFF;
// Sizes of the fixed headers before the menu field.
constexpr std::size_t kExtendedHeaderBytes = 26;
constexpr std::size_t kPlainHeaderBytes = 18;
// A name-or-ordinal field that holds an ordinal starts with this word.
constexpr std::uint16_t kOrdinalMarker = 0xFFFF;

std::uint16_t WordAt(const std::uint8_t* data, std::size_t size, std::size_t offset) {
  if (offset + 2 > size) return 0;
  return static_cast<std::uint16_t>(data[offset] | (data[offset + 1] << 8));
}

// Skips a menu or class field: 0 (none), the marker and an ordinal, or a
// zero-terminated string.
std::size_t SkipNameOrOrdinal(const std::uint8_t* data, std::size_t size, std::size_t offset) {
  const std::uint16_t first = WordAt(data, size, offset);
  if (first == 0) return offset + 2;
  if (first == kOrdinalMarker) return offset + 4;
  while (offset + 2 <= size && WordAt(data, size, offset) != 0) offset += 2;
  return offset + 2;
}

}  // namespace

std::u16string DialogTemplateCaption(const std::uint8_t* data, std::size_t size) {
  if (data == nullptr || size < kPlainHeaderBytes) return {};
  const bool extended = WordAt(data, size, 0) == kExtendedVersion && WordAt(data, size, 2) == kExtendedSignature;
  std::size_t offset = extended ? kExtendedHeaderBytes : kPlainHeaderBytes;
  offset = SkipNameOrOrdinal(data, size, offset);  // menu
  offset = SkipNameOrOrdinal(data, size, offset);  // class
  std::u16string caption;
  for (; offset + 2 <= size; offset += 2) {
    const std::uint16_t c = WordAt(data, size, offset);
    if (c == 0) break;
    caption.push_back(static_cast<char16_t>(c));
  }
  return caption;
}

bool IsConfirmButtonText(std::string_view text) {
  if (text.size() < 2) return false;
  const auto is_confirm = [](char c) { return c == 'Y' || c == 'C'; };
  return is_confirm(text[1]) || is_confirm(text[text.size() - 2]);
}

}  // namespace kit::usbinstall
