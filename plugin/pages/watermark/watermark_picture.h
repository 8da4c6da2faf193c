// The watermark picture the printing side takes: always a bottom-up, 24-bit,
// uncompressed BMP. For an image watermark it is the user's bitmap (1-, 8-
// or 24-bit) made 24-bit; for a text watermark, the 300 x 300 rendered text.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "ui/bitmap.h"

namespace kit::plugin::watermark {

// Pixel data offsets that name the accepted source formats.
inline constexpr std::uint32_t kOneBitOffset = 62;     // 1 bit, two palette entries
inline constexpr std::uint32_t kEightBitOffset = 1078;  // 8 bits, 256 palette entries
inline constexpr std::uint32_t kTrueColourOffset = 54;  // 24 bits, no palette
// Largest pixel data a watermark picture may have (10 MiB).
inline constexpr std::uint64_t kMaxPixelBytes = 10'485'760;
// The largest source read: its headers, a full palette and pixel data of the
// largest picture. A larger file cannot give a picture within the limit (an
// 8- or 1-bit source grows when made 24-bit), so it is refused as too big
// before anything of it is read.
inline constexpr std::uint64_t kMaxSourceBytes = kEightBitOffset + kMaxPixelBytes;
// The text picture: 300 x 300, 24 bits, 270054 bytes.
inline constexpr int kTextPictureSide = 300;
inline constexpr std::uint32_t kTextPictureFileSize = 270054;
// FILE_ATTRIBUTE_ARCHIVE, given to a copied 24-bit source.
inline constexpr std::uint32_t kArchiveAttribute = 0x20;

enum class PictureError {
  kNone,
  kNotUsable,  // cannot be opened, or not a 1-, 8- or 24-bit BMP the page can read
  kTooBig,     // pixel data beyond kMaxPixelBytes
  kNotWritten, // the watermark picture could not be created
};

struct Converted {
  PictureError error = PictureError::kNone;
  std::vector<std::uint8_t> file;  // the 24-bit BMP
  bool copied = false;             // a 24-bit source, copied unchanged
};

// The 24-bit watermark file made from the bytes of a source bitmap.
// Checked: "BM", a 40-byte info header, width and height of at least 1, no
// compression, a bit count that matches the data offset (62: 1, 1078: 8, 54:
// 24), the palette and every row inside the file, and the 24-bit data within
// kMaxPixelBytes. 1- and 8-bit rows are expanded through the palette under a
// rewritten header (offset 54, 24 bits, rows padded to four bytes); a 24-bit
// source is kept byte for byte.
Converted ConvertSource(std::span<const std::uint8_t> source);

// The BMP file of a canvas picture (top-down 0x00RRGGBB pixels): 24 bits,
// bottom row first. For the 300 x 300 text picture, kTextPictureFileSize
// bytes.
std::vector<std::uint8_t> PictureFile(const ui::Bitmap& picture);

// The pixels of a 24-bit bottom-up BMP (as ConvertSource makes them),
// top-down; nothing when the file is not one or is beyond kMaxPixelBytes
// (`too_big` then tells which).
std::optional<ui::Bitmap> ReadPicture(std::span<const std::uint8_t> file, bool* too_big = nullptr);

// Writes `bytes` as `path` whole or not at all: into a file beside it, put
// over it only when complete; with `archive`, the result gets the archive
// attribute. False (and no change to `path`) on any failure.
bool ReplacePicture(Files& files, std::u16string_view path, const std::vector<std::uint8_t>& bytes, bool archive);

}  // namespace kit::plugin::watermark
