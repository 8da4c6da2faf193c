#include "platform/pe/pe_resources.h"

#include "platform/pe/version_resource.h"

namespace kit {
namespace {

// DOS header: "MZ", and at 0x3C the offset of the "PE\0\0" signature.
constexpr std::uint16_t kDosMagic = 0x5A4D;
constexpr std::size_t kDosNewHeaderOffset = 0x3C;
constexpr std::uint32_t kPeSignature = 0x00004550;
// COFF file header after the signature.
constexpr std::size_t kCoffHeaderSize = 20;
constexpr std::size_t kCoffSectionCount = 2;
constexpr std::size_t kCoffOptionalHeaderSize = 16;
// Optional header: magic, count of data directories, first directory.
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::size_t kPe32DirectoryCount = 92;
constexpr std::size_t kPe32Directories = 96;
constexpr std::size_t kPe32PlusDirectoryCount = 108;
constexpr std::size_t kPe32PlusDirectories = 112;
constexpr std::size_t kDataDirectorySize = 8;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
// Section header: virtual size, address, raw size, raw offset.
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kSectionVirtualSize = 8;
constexpr std::size_t kSectionVirtualAddress = 12;
constexpr std::size_t kSectionRawSize = 16;
constexpr std::size_t kSectionRawOffset = 20;
// Resource directory: 16-byte header with the named and id entry counts,
// then 8-byte entries (name or id, offset; high bits flag a name and a
// subdirectory). Leaves are 16-byte data entries (RVA, size, ...).
constexpr std::size_t kResourceDirectorySize = 16;
constexpr std::size_t kResourceNamedCount = 12;
constexpr std::size_t kResourceIdCount = 14;
constexpr std::size_t kResourceEntrySize = 8;
constexpr std::size_t kResourceDataEntrySize = 16;
constexpr std::uint32_t kHighBit = 0x80000000u;

struct Image {
  const std::uint8_t* bytes;
  std::size_t size;

  bool Has(std::size_t offset, std::size_t length) const { return offset <= size && length <= size - offset; }
  std::uint16_t Word(std::size_t at) const { return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8)); }
  std::uint32_t Dword(std::size_t at) const {
    return static_cast<std::uint32_t>(Word(at)) | (static_cast<std::uint32_t>(Word(at + 2)) << 16);
  }
};

struct Section {
  std::uint32_t virtual_address = 0;
  std::uint32_t virtual_size = 0;
  std::uint32_t raw_size = 0;
  std::uint32_t raw_offset = 0;
};

// File offset of `length` bytes at `rva`; false when they are not all in
// one section's raw data inside the file.
bool MapRva(const Image& image, const std::vector<Section>& sections, std::uint32_t rva, std::uint32_t length,
            std::size_t* offset) {
  for (const Section& s : sections) {
    if (rva < s.virtual_address) continue;
    const std::uint64_t within = rva - s.virtual_address;
    if (within + length > s.raw_size) continue;
    const std::uint64_t at = s.raw_offset + within;
    if (at > image.size || length > image.size - at) return false;
    *offset = static_cast<std::size_t>(at);
    return true;
  }
  return false;
}

// The offset (within the resource directory) of the entry of `id` in the
// directory at `dir`, or of its first entry when `id` is 0. `subdirectory`
// tells whether the entry must lead to another directory or to a leaf.
bool FindEntry(const Image& image, std::size_t root, std::size_t root_size, std::size_t dir, std::uint16_t id,
               bool subdirectory, std::size_t* target) {
  if (dir > root_size || root_size - dir < kResourceDirectorySize) return false;
  const std::size_t count =
      static_cast<std::size_t>(image.Word(root + dir + kResourceNamedCount)) + image.Word(root + dir + kResourceIdCount);
  const std::size_t entries = dir + kResourceDirectorySize;
  if (count > (root_size - entries) / kResourceEntrySize) return false;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t entry = root + entries + i * kResourceEntrySize;
    const std::uint32_t name = image.Dword(entry);
    const std::uint32_t offset = image.Dword(entry + 4);
    if (id != 0 && ((name & kHighBit) != 0 || name != id)) continue;
    if (((offset & kHighBit) != 0) != subdirectory) return false;
    *target = offset & ~kHighBit;
    return true;
  }
  return false;
}

}  // namespace

// The offset of the COFF header, or 0 for bytes that are no PE image.
static std::size_t CoffHeader(const Image& image) {
  if (image.bytes == nullptr || !image.Has(0, kDosNewHeaderOffset + 4) || image.Word(0) != kDosMagic) return 0;
  const std::size_t pe = image.Dword(kDosNewHeaderOffset);
  if (!image.Has(pe, 4 + kCoffHeaderSize) || image.Dword(pe) != kPeSignature) return 0;
  return pe + 4;
}

bool ReadPeMachine(const std::uint8_t* bytes, std::size_t size, std::uint16_t* machine) {
  const Image image{bytes, size};
  const std::size_t coff = CoffHeader(image);
  if (coff == 0) return false;
  *machine = image.Word(coff);
  return true;
}

bool FindPeResource(const std::uint8_t* bytes, std::size_t size, std::uint16_t type, Bytes* data) {
  const Image image{bytes, size};
  const std::size_t coff = CoffHeader(image);
  if (coff == 0) return false;
  const std::size_t section_count = image.Word(coff + kCoffSectionCount);
  const std::size_t optional_size = image.Word(coff + kCoffOptionalHeaderSize);
  const std::size_t optional = coff + kCoffHeaderSize;
  if (!image.Has(optional, optional_size) || optional_size < 2) return false;
  std::size_t count_at = 0, directories = 0;
  switch (image.Word(optional)) {
    case kPe32Magic: count_at = kPe32DirectoryCount, directories = kPe32Directories; break;
    case kPe32PlusMagic: count_at = kPe32PlusDirectoryCount, directories = kPe32PlusDirectories; break;
    default: return false;
  }
  if (optional_size < directories) return false;
  const std::uint32_t directory_count = image.Dword(optional + count_at);
  const std::size_t resource_entry = directories + kResourceDirectoryIndex * kDataDirectorySize;
  if (directory_count <= kResourceDirectoryIndex || optional_size < resource_entry + kDataDirectorySize) return false;
  const std::uint32_t resource_rva = image.Dword(optional + resource_entry);
  const std::uint32_t resource_size = image.Dword(optional + resource_entry + 4);
  if (resource_rva == 0 || resource_size < kResourceDirectorySize) return false;

  const std::size_t table = optional + optional_size;
  if (section_count > (size - std::min(size, table)) / kSectionHeaderSize) return false;
  std::vector<Section> sections;
  for (std::size_t i = 0; i < section_count; ++i) {
    const std::size_t h = table + i * kSectionHeaderSize;
    sections.push_back({image.Dword(h + kSectionVirtualAddress), image.Dword(h + kSectionVirtualSize),
                        image.Dword(h + kSectionRawSize), image.Dword(h + kSectionRawOffset)});
  }
  // The whole resource directory must lie in the file; every offset in it
  // is then checked against its size.
  std::size_t root = 0;
  if (!MapRva(image, sections, resource_rva, resource_size, &root)) return false;
  std::size_t names = 0, languages = 0, leaf = 0;
  if (!FindEntry(image, root, resource_size, 0, type, true, &names)) return false;
  if (!FindEntry(image, root, resource_size, names, 0, true, &languages)) return false;
  if (!FindEntry(image, root, resource_size, languages, 0, false, &leaf)) return false;
  if (leaf > resource_size || resource_size - leaf < kResourceDataEntrySize) return false;
  const std::uint32_t data_rva = image.Dword(root + leaf);
  const std::uint32_t data_size = image.Dword(root + leaf + 4);
  std::size_t at = 0;
  if (!MapRva(image, sections, data_rva, data_size, &at)) return false;
  data->assign(bytes + at, bytes + at + data_size);
  return true;
}

bool ReadPeVersionInfo(const std::uint8_t* image, std::size_t size, FileVersionInfo* info) {
  Bytes block;
  if (!FindPeResource(image, size, kResourceTypeVersion, &block)) return false;
  return ParseVersionResource(block.data(), block.size(), info);
}

}  // namespace kit
