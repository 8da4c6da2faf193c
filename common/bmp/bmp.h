// Windows bitmap (BMP) file structures, read and written field by field at
// their little-endian offsets, never through the compiler's struct layout.
// Every reader checks the offsets it touches against the real size of the
// bytes it was given. Used by the logo conversion and the watermark picture.
// This file is OS-independent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kit::bmp {

// File header (BITMAPFILEHEADER): 14 bytes at the start of the file.
inline constexpr std::size_t kFileHeaderSize = 14;
// Info header (BITMAPINFOHEADER): 40 bytes right after the file header.
inline constexpr std::size_t kInfoHeaderSize = 40;
inline constexpr std::size_t kHeadersSize = kFileHeaderSize + kInfoHeaderSize;
// One palette entry (RGBQUAD): blue, green, red, reserved.
inline constexpr std::size_t kPaletteEntrySize = 4;
// "BM" read as a little-endian word.
inline constexpr std::uint16_t kSignature = 0x4D42;
// BI_RGB: rows stored uncompressed.
inline constexpr std::uint32_t kCompressionNone = 0;

struct FileHeader {
  std::uint16_t type = kSignature;     // offset 0
  std::uint32_t file_size = 0;         // offset 2
  std::uint16_t reserved1 = 0;         // offset 6
  std::uint16_t reserved2 = 0;         // offset 8
  std::uint32_t pixel_offset = 0;      // offset 10
  bool operator==(const FileHeader&) const = default;
};

struct InfoHeader {
  std::uint32_t header_size = kInfoHeaderSize;  // offset 14
  std::int32_t width = 0;                       // offset 18
  std::int32_t height = 0;                      // offset 22 (positive: bottom row first)
  std::uint16_t planes = 1;                     // offset 26
  std::uint16_t bits_per_pixel = 0;             // offset 28
  std::uint32_t compression = kCompressionNone; // offset 30
  std::uint32_t image_size = 0;                 // offset 34
  std::int32_t x_pixels_per_meter = 0;          // offset 38
  std::int32_t y_pixels_per_meter = 0;          // offset 42
  std::uint32_t colours_used = 0;               // offset 46
  std::uint32_t colours_important = 0;          // offset 50
  bool operator==(const InfoHeader&) const = default;
};

struct PaletteEntry {
  std::uint8_t blue = 0;
  std::uint8_t green = 0;
  std::uint8_t red = 0;
  std::uint8_t reserved = 0;
  bool operator==(const PaletteEntry&) const = default;
};

// Little-endian fields. The readers return nothing when the field does not lie
// wholly inside `bytes`.
std::optional<std::uint16_t> ReadU16(std::span<const std::uint8_t> bytes, std::size_t offset);
std::optional<std::uint32_t> ReadU32(std::span<const std::uint8_t> bytes, std::size_t offset);
std::optional<std::int32_t> ReadI32(std::span<const std::uint8_t> bytes, std::size_t offset);
void AppendU16(std::vector<std::uint8_t>& out, std::uint16_t value);
void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t value);
void AppendI32(std::vector<std::uint8_t>& out, std::int32_t value);

// The file header at offset 0; nothing when the file is shorter than 14 bytes.
// The signature is returned as stored, not checked.
std::optional<FileHeader> ReadFileHeader(std::span<const std::uint8_t> file);
// The 40 bytes of the info header at offset 14; nothing when the file is
// shorter than 54 bytes. Larger header versions are read through their
// first 40 bytes (header_size tells the caller which version it is).
std::optional<InfoHeader> ReadInfoHeader(std::span<const std::uint8_t> file);

void AppendFileHeader(std::vector<std::uint8_t>& out, const FileHeader& header);
void AppendInfoHeader(std::vector<std::uint8_t>& out, const InfoHeader& header);
void AppendPalette(std::vector<std::uint8_t>& out, std::span<const PaletteEntry> palette);

// Number of palette entries the header declares: colours_used when set, else
// 2^bits for depths up to 8, else none.
std::size_t DeclaredPaletteCount(const InfoHeader& info);
// Where the palette starts: right after the info header of the stated size.
std::size_t PaletteOffset(const InfoHeader& info);
// `count` entries starting at `offset`; nothing when they do not all fit.
std::optional<std::vector<PaletteEntry>> ReadPalette(std::span<const std::uint8_t> file,
                                                     std::size_t offset, std::size_t count);

// Bytes of one stored row: the row's bits rounded up to whole 32-bit words,
// ((width * bits + 31) / 32) * 4. Nothing for a width below 1, a depth of 0,
// or a stride that does not fit in 32 bits.
std::optional<std::size_t> RowStride(std::int64_t width, unsigned bits_per_pixel);

// True when `rows` rows of `stride` bytes starting at byte `offset` lie wholly
// inside a file of `file_size` bytes (no arithmetic overflow on the way).
bool RowsFit(std::size_t file_size, std::size_t offset, std::size_t stride, std::size_t rows);

}  // namespace kit::bmp
