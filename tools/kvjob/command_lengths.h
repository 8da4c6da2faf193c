// How long each command of the family's printer language is, whether the
// virtual printer draws it or not: the printer takes a command's parameter
// bytes as parameters, never as text, so a command the virtual printer does
// not draw (absolute position, left margin, tab stops, bit images, graphics
// data, ...) is passed over whole and only noted. A command whose bytes end
// before its length is cut short: the rest of the job is its parameters.
//
// This file is OS-independent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace kit::tools {

struct MeasuredCommand {
  std::string name;        // "ESC $", "GS ( L", "GS 8 L", ...
  std::size_t length = 0;  // the bytes it takes from the job (the rest of the job when cut short)
  bool cut_short = false;  // the job ended before the command did
};

// The command of the family's language that starts at `pos` (an ESC, FS, GS
// or DLE byte followed by its code); nothing when the code is not one.
std::optional<MeasuredCommand> MeasureCommand(std::span<const std::uint8_t> bytes, std::size_t pos);

}  // namespace kit::tools
