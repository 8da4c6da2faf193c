// Byte builders for version resource blocks and executable images, shared
// by the tests of the version parser and the resource walker.
#pragma once

#include <string_view>
#include <vector>

#include "platform/pe/version_resource.h"

namespace kit::test {

inline void PutWord(Bytes& out, std::size_t at, std::uint16_t v) {
  out[at] = static_cast<std::uint8_t>(v);
  out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void Pad4(Bytes& out) {
  while (out.size() % 4 != 0) out.push_back(0);
}

// One node: header, key, padding, value, padding, children; wLength set last.
inline Bytes Node(std::u16string_view key, const Bytes& value, std::uint16_t value_length, bool text,
           const std::vector<Bytes>& children) {
  Bytes out(6, 0);
  for (char16_t c : key) {
    out.push_back(static_cast<std::uint8_t>(c));
    out.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  out.push_back(0);
  out.push_back(0);
  Pad4(out);
  out.insert(out.end(), value.begin(), value.end());
  for (const auto& child : children) {
    Pad4(out);
    out.insert(out.end(), child.begin(), child.end());
  }
  PutWord(out, 0, static_cast<std::uint16_t>(out.size()));
  PutWord(out, 2, value_length);
  PutWord(out, 4, text ? 1 : 0);
  return out;
}

inline Bytes Text(std::u16string_view text) {
  Bytes out;
  for (char16_t c : text) {
    out.push_back(static_cast<std::uint8_t>(c));
    out.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  out.push_back(0);
  out.push_back(0);
  return out;
}

inline Bytes StringEntry(std::u16string_view name, std::u16string_view value) {
  return Node(name, Text(value), static_cast<std::uint16_t>(value.size() + 1), true, {});
}

inline Bytes SampleBlock() {
  Bytes fixed(52, 0);
  const std::uint32_t words[] = {kFixedFileInfoSignature, 0x10000, 0x00030001, 0x00070002, 0x00040000, 0x00000009};
  for (int i = 0; i < 6; ++i) {
    for (int b = 0; b < 4; ++b) fixed[i * 4 + b] = static_cast<std::uint8_t>(words[i] >> (8 * b));
  }
  const Bytes table = Node(u"040904B0", {}, 0, true,
                           {StringEntry(u"FileVersion", u"3.1.7.2"), StringEntry(u"ProductName", u"Kit")});
  const Bytes strings = Node(u"StringFileInfo", {}, 0, true, {table});
  const Bytes translation = Node(u"Translation", Bytes{0x09, 0x04, 0xB0, 0x04, 0x04, 0x08, 0xA8, 0x03}, 8, false, {});
  const Bytes vars = Node(u"VarFileInfo", {}, 0, true, {translation});
  return Node(u"VS_VERSION_INFO", fixed, 52, false, {strings, vars});
}


// Offsets of the image PeImage builds, for tests that damage it.
inline constexpr std::size_t kImagePeHeader = 0x40;
inline constexpr std::size_t kImageSectionTable32 = kImagePeHeader + 4 + 20 + 224;
inline constexpr std::size_t kImageResources = 0x200;
inline constexpr std::size_t kImageLeaf = kImageResources + 0x48;
inline constexpr std::uint32_t kImageResourceRva = 0x1000;

inline void PutDword(Bytes& out, std::size_t at, std::uint32_t v) {
  PutWord(out, at, static_cast<std::uint16_t>(v));
  PutWord(out, at + 2, static_cast<std::uint16_t>(v >> 16));
}

// A one-section image (PE32, or PE32+ when `plus`) whose resource directory
// holds one resource of `type`: directories for type, name 1 and language
// 0x409, the data entry, then the data.
inline Bytes PeImage(const Bytes& resource, bool plus = false, std::uint16_t type = 16) {
  const std::size_t optional_size = plus ? 240 : 224;
  const std::size_t table = kImagePeHeader + 4 + 20 + optional_size;
  const std::size_t data_offset = 0x58;
  const std::size_t section_size = data_offset + resource.size();
  const std::size_t raw_size = (section_size + 0x1FF) & ~std::size_t{0x1FF};
  Bytes out(kImageResources + raw_size, 0);
  PutWord(out, 0, 0x5A4D);
  PutDword(out, 0x3C, kImagePeHeader);
  PutDword(out, kImagePeHeader, 0x00004550);
  const std::size_t coff = kImagePeHeader + 4;
  PutWord(out, coff, plus ? 0x8664 : 0x14C);
  PutWord(out, coff + 2, 1);
  PutWord(out, coff + 16, static_cast<std::uint16_t>(optional_size));
  const std::size_t optional = coff + 20;
  PutWord(out, optional, plus ? 0x20B : 0x10B);
  PutDword(out, optional + (plus ? 108 : 92), 16);
  const std::size_t directories = optional + (plus ? 112 : 96);
  PutDword(out, directories + 2 * 8, kImageResourceRva);
  PutDword(out, directories + 2 * 8 + 4, static_cast<std::uint32_t>(section_size));
  const char name[] = ".rsrc";
  for (std::size_t i = 0; i < 5; ++i) out[table + i] = static_cast<std::uint8_t>(name[i]);
  PutDword(out, table + 8, static_cast<std::uint32_t>(section_size));
  PutDword(out, table + 12, kImageResourceRva);
  PutDword(out, table + 16, static_cast<std::uint32_t>(raw_size));
  PutDword(out, table + 20, kImageResources);
  const std::size_t r = kImageResources;
  PutWord(out, r + 14, 1);
  PutDword(out, r + 16, type);
  PutDword(out, r + 20, 0x80000000u | 0x18);
  PutWord(out, r + 0x18 + 14, 1);
  PutDword(out, r + 0x18 + 16, 1);
  PutDword(out, r + 0x18 + 20, 0x80000000u | 0x30);
  PutWord(out, r + 0x30 + 14, 1);
  PutDword(out, r + 0x30 + 16, 0x409);
  PutDword(out, r + 0x30 + 20, 0x48);
  PutDword(out, r + 0x48, kImageResourceRva + static_cast<std::uint32_t>(data_offset));
  PutDword(out, r + 0x48 + 4, static_cast<std::uint32_t>(resource.size()));
  std::copy(resource.begin(), resource.end(), out.begin() + static_cast<std::ptrdiff_t>(r + data_offset));
  return out;
}

}  // namespace kit::test
