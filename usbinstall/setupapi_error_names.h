// Symbolic names of the SetupAPI error codes (0xE0000000 to 0xE0001000), as
// the setup header publishes them, for error boxes when the system has no
// text for a code.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace kit::usbinstall {

struct SetupApiErrorEntry {
  std::uint32_t code;
  std::string_view name;
};

// Every entry, in code order; the older names of the interface-device errors
// follow their current names.
std::span<const SetupApiErrorEntry> SetupApiErrorNames();

// The first name of `code`, or empty when the table has none.
std::string_view SetupApiErrorName(std::uint32_t code);

}  // namespace kit::usbinstall
