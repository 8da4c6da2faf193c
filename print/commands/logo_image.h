// A stored logo as the printer takes it, made from a one-bit-per-pixel BMP
// held in memory.
//
// The image is sent x bytes (8x dots) wide, x being the BMP's row stride so
// that the width is a multiple of 32 dots, and y groups of 8 dots high. The
// blank rows that fill the last group lie above the picture. The data runs
// column by column from the left; each column is y bytes from the top, the
// topmost of a byte's 8 dots in its most significant bit; a 1 bit prints.
//
// This file is OS-independent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <variant>
#include <vector>

namespace kit::print::commands {

struct LogoImage {
  std::uint16_t x = 0;  // width in bytes
  std::uint16_t y = 0;  // height in groups of 8 dots
  std::vector<std::uint8_t> data;  // x * y * 8 bytes
};

// Why a BMP cannot be sent as a logo.
enum class LogoError {
  kNotBitmap,    // too short for its headers, or not "BM"
  kFormat,       // not 1 bit per pixel uncompressed, an info header under 40 bytes, width or height below 1
  kPalette,      // not a black-and-white pair of entries
  kTooLarge,     // x or y does not fit the printer's 16-bit fields
  kShortData,    // the rows the header promises are not all in the bytes
};

// The logo of a one-bit BMP. A palette whose entry 0 is black (entry 1
// white) stores dots as 0 bits: those rows are inverted, and the bits past
// the last pixel of each row cleared, so that padding never prints. With
// entry 0 white the bits are taken as stored.
std::variant<LogoImage, LogoError> EncodeLogo(std::span<const std::uint8_t> bmp);

// One-bit rows as a BMP stores them: the bottom row first, `stride` bytes
// each, `width` dots of each used; `ones_print` is false where a 1 bit is
// white (the logo conversion's result, whose palette's entry 0 is black).
struct OneBitRows {
  std::size_t width = 0;
  std::size_t height = 0;
  std::size_t stride = 0;
  std::span<const std::uint8_t> rows;  // at least stride * height bytes
  bool ones_print = true;
};

// The logo of rows held already (a picture converted in memory is encoded
// without reading its headers again).
std::variant<LogoImage, LogoError> EncodeLogo(const OneBitRows& rows);

// The four-byte header of a logo: xL xH yL yH.
std::vector<std::uint8_t> LogoHeader(const LogoImage& logo);

}  // namespace kit::print::commands
