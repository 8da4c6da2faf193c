// This file is OS-independent.
#include "print/encoder/font_commands.h"

#include "print/encoder/command_bytes.h"

namespace kit::print::commands {
namespace {

constexpr int kMaxPosition = 0xFFFF;

bool InRange(int times) { return times >= 1 && times <= kMaxMagnification; }

}  // namespace

std::optional<std::vector<std::uint8_t>> SelectFontBytes(const TextFont& font) {
  if (!InRange(font.across) || !InRange(font.down)) return std::nullopt;
  const auto size = static_cast<std::uint8_t>((font.across - 1) << 4 | (font.down - 1));
  return std::vector<std::uint8_t>{kPrintModeCommand[0], kPrintModeCommand[1],
                                   font.font_b ? kPrintModeFontB : std::uint8_t{0},
                                   kCharacterSizeCommand[0], kCharacterSizeCommand[1], size,
                                   kCodePageCommand[0], kCodePageCommand[1], font.code_page};
}

std::vector<std::uint8_t> UnselectFontBytes() {
  return {kCharacterSizeCommand[0], kCharacterSizeCommand[1], 0, kPrintModeCommand[0], kPrintModeCommand[1], 0};
}

std::optional<std::vector<std::uint8_t>> PositionBytes(int dots) {
  if (dots < 0 || dots > kMaxPosition) return std::nullopt;
  return std::vector<std::uint8_t>{kAbsolutePositionCommand[0], kAbsolutePositionCommand[1],
                                   static_cast<std::uint8_t>(dots & 0xFF), static_cast<std::uint8_t>(dots >> 8)};
}

}  // namespace kit::print::commands
