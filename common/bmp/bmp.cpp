// This file is OS-independent.
#include "common/bmp/bmp.h"

#include <limits>

namespace kit::bmp {

namespace {

bool FieldFits(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t size) {
  return offset <= bytes.size() && size <= bytes.size() - offset;
}

}  // namespace

std::optional<std::uint16_t> ReadU16(std::span<const std::uint8_t> bytes, std::size_t offset) {
  if (!FieldFits(bytes, offset, 2)) return std::nullopt;
  return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

std::optional<std::uint32_t> ReadU32(std::span<const std::uint8_t> bytes, std::size_t offset) {
  if (!FieldFits(bytes, offset, 4)) return std::nullopt;
  return static_cast<std::uint32_t>(bytes[offset]) |
         (static_cast<std::uint32_t>(bytes[offset + 1]) << 8) |
         (static_cast<std::uint32_t>(bytes[offset + 2]) << 16) |
         (static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
}

std::optional<std::int32_t> ReadI32(std::span<const std::uint8_t> bytes, std::size_t offset) {
  const auto value = ReadU32(bytes, offset);
  if (!value) return std::nullopt;
  return static_cast<std::int32_t>(*value);  // two's complement, as stored
}

void AppendU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
}

void AppendI32(std::vector<std::uint8_t>& out, std::int32_t value) {
  AppendU32(out, static_cast<std::uint32_t>(value));
}

std::optional<FileHeader> ReadFileHeader(std::span<const std::uint8_t> file) {
  if (file.size() < kFileHeaderSize) return std::nullopt;
  FileHeader header;
  header.type = *ReadU16(file, 0);
  header.file_size = *ReadU32(file, 2);
  header.reserved1 = *ReadU16(file, 6);
  header.reserved2 = *ReadU16(file, 8);
  header.pixel_offset = *ReadU32(file, 10);
  return header;
}

std::optional<InfoHeader> ReadInfoHeader(std::span<const std::uint8_t> file) {
  if (file.size() < kHeadersSize) return std::nullopt;
  constexpr std::size_t base = kFileHeaderSize;
  InfoHeader info;
  info.header_size = *ReadU32(file, base + 0);
  info.width = *ReadI32(file, base + 4);
  info.height = *ReadI32(file, base + 8);
  info.planes = *ReadU16(file, base + 12);
  info.bits_per_pixel = *ReadU16(file, base + 14);
  info.compression = *ReadU32(file, base + 16);
  info.image_size = *ReadU32(file, base + 20);
  info.x_pixels_per_meter = *ReadI32(file, base + 24);
  info.y_pixels_per_meter = *ReadI32(file, base + 28);
  info.colours_used = *ReadU32(file, base + 32);
  info.colours_important = *ReadU32(file, base + 36);
  return info;
}

void AppendFileHeader(std::vector<std::uint8_t>& out, const FileHeader& header) {
  AppendU16(out, header.type);
  AppendU32(out, header.file_size);
  AppendU16(out, header.reserved1);
  AppendU16(out, header.reserved2);
  AppendU32(out, header.pixel_offset);
}

void AppendInfoHeader(std::vector<std::uint8_t>& out, const InfoHeader& info) {
  AppendU32(out, info.header_size);
  AppendI32(out, info.width);
  AppendI32(out, info.height);
  AppendU16(out, info.planes);
  AppendU16(out, info.bits_per_pixel);
  AppendU32(out, info.compression);
  AppendU32(out, info.image_size);
  AppendI32(out, info.x_pixels_per_meter);
  AppendI32(out, info.y_pixels_per_meter);
  AppendU32(out, info.colours_used);
  AppendU32(out, info.colours_important);
}

void AppendPalette(std::vector<std::uint8_t>& out, std::span<const PaletteEntry> palette) {
  for (const auto& entry : palette) {
    out.push_back(entry.blue);
    out.push_back(entry.green);
    out.push_back(entry.red);
    out.push_back(entry.reserved);
  }
}

std::size_t DeclaredPaletteCount(const InfoHeader& info) {
  if (info.colours_used != 0) return info.colours_used;
  if (info.bits_per_pixel >= 1 && info.bits_per_pixel <= 8) return std::size_t{1} << info.bits_per_pixel;
  return 0;
}

std::size_t PaletteOffset(const InfoHeader& info) {
  return kFileHeaderSize + static_cast<std::size_t>(info.header_size);
}

std::optional<std::vector<PaletteEntry>> ReadPalette(std::span<const std::uint8_t> file,
                                                     std::size_t offset, std::size_t count) {
  if (count > (file.size() / kPaletteEntrySize) || !FieldFits(file, offset, count * kPaletteEntrySize)) {
    return std::nullopt;
  }
  std::vector<PaletteEntry> palette(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = offset + i * kPaletteEntrySize;
    palette[i] = PaletteEntry{file[at], file[at + 1], file[at + 2], file[at + 3]};
  }
  return palette;
}

std::optional<std::size_t> RowStride(std::int64_t width, unsigned bits_per_pixel) {
  if (width < 1 || bits_per_pixel == 0 || bits_per_pixel > 64) return std::nullopt;
  if (width > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  const std::uint64_t bits = static_cast<std::uint64_t>(width) * bits_per_pixel;
  const std::uint64_t stride = ((bits + 31) / 32) * 4;
  if (stride > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  return static_cast<std::size_t>(stride);
}

bool RowsFit(std::size_t file_size, std::size_t offset, std::size_t stride, std::size_t rows) {
  if (offset > file_size) return false;
  const std::size_t room = file_size - offset;
  if (stride == 0 || rows == 0) return true;
  return rows <= room / stride;
}

}  // namespace kit::bmp
