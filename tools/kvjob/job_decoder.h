// Reads the bytes of a raw printer job back as the kit's commands: brackets,
// self-test, clearing and defining logos (each logo as its size and a text
// picture, '#' a printed dot), the barcode and QR parameters and their data.
// Bytes that are none of these are listed in hex. Used by kvjob; the
// printer's own commands stay out of the virtual machine.
//
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kit::tools {

// One line per command, each ending in '\n'.
std::string DecodeJob(std::span<const std::uint8_t> bytes);

}  // namespace kit::tools
