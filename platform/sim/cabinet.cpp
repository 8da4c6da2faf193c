// Microsoft cabinet reader. This file is OS-independent.
#include "platform/sim/cabinet.h"

#include <zlib.h>

#include <cstring>

namespace kit::sim {
namespace {

constexpr std::uint16_t kFlagPrevCabinet = 0x0001;
constexpr std::uint16_t kFlagNextCabinet = 0x0002;
constexpr std::uint16_t kFlagReservePresent = 0x0004;
constexpr std::uint16_t kCompressNone = 0;
constexpr std::uint16_t kCompressMszip = 1;
constexpr std::size_t kMszipWindow = 32768;
constexpr std::size_t kMaxUncompressedBlock = 32768;
constexpr std::uint16_t kNameIsUtf8 = 0x80;

struct Reader {
  const Bytes& b;
  std::size_t pos = 0;
  bool ok = true;
  std::uint32_t U(int n) {
    if (pos + n > b.size()) {
      ok = false;
      return 0;
    }
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i) v |= static_cast<std::uint32_t>(b[pos + i]) << (8 * i);
    pos += n;
    return v;
  }
  std::string Z() {
    std::string s;
    while (pos < b.size() && b[pos] != 0) s.push_back(static_cast<char>(b[pos++]));
    if (pos >= b.size()) ok = false;
    ++pos;
    return s;
  }
};

struct Folder {
  std::uint32_t first_data = 0;
  std::uint16_t blocks = 0;
  std::uint16_t compression = 0;
};

bool InflateBlock(const std::uint8_t* data, std::size_t size, Bytes& window, Bytes* out) {
  if (size < 2 || data[0] != 'C' || data[1] != 'K') return false;
  z_stream z{};
  if (inflateInit2(&z, -15) != Z_OK) return false;
  if (!window.empty()) {
    const std::size_t n = std::min(window.size(), kMszipWindow);
    inflateSetDictionary(&z, window.data() + window.size() - n, static_cast<uInt>(n));
  }
  Bytes block(kMaxUncompressedBlock);
  z.next_in = const_cast<Bytef*>(data + 2);
  z.avail_in = static_cast<uInt>(size - 2);
  z.next_out = block.data();
  z.avail_out = static_cast<uInt>(block.size());
  const int rc = inflate(&z, Z_FINISH);
  const std::size_t produced = block.size() - z.avail_out;
  inflateEnd(&z);
  if (rc != Z_STREAM_END) return false;
  block.resize(produced);
  out->insert(out->end(), block.begin(), block.end());
  window.insert(window.end(), block.begin(), block.end());
  if (window.size() > kMszipWindow) window.erase(window.begin(), window.end() - kMszipWindow);
  return true;
}

}  // namespace

bool ReadCabinet(const Bytes& cab, std::vector<CabinetFile>* files, std::string* error) {
  Reader r{cab};
  if (cab.size() < 36 || std::memcmp(cab.data(), "MSCF", 4) != 0) {
    *error = "not a cabinet file";
    return false;
  }
  r.pos = 16;
  const std::uint32_t files_offset = r.U(4);
  r.pos = 26;
  const std::uint16_t folder_count = static_cast<std::uint16_t>(r.U(2));
  const std::uint16_t file_count = static_cast<std::uint16_t>(r.U(2));
  const std::uint16_t flags = static_cast<std::uint16_t>(r.U(2));
  r.U(4);  // set id, cabinet index
  std::uint8_t folder_reserve = 0, data_reserve = 0;
  if (flags & kFlagReservePresent) {
    const std::uint16_t header_reserve = static_cast<std::uint16_t>(r.U(2));
    folder_reserve = static_cast<std::uint8_t>(r.U(1));
    data_reserve = static_cast<std::uint8_t>(r.U(1));
    r.pos += header_reserve;
  }
  if (flags & (kFlagPrevCabinet | kFlagNextCabinet)) {
    *error = "cabinets that span several files are not supported";
    return false;
  }
  std::vector<Folder> folders;
  for (int i = 0; i < folder_count && r.ok; ++i) {
    Folder f;
    f.first_data = r.U(4);
    f.blocks = static_cast<std::uint16_t>(r.U(2));
    f.compression = static_cast<std::uint16_t>(r.U(2));
    r.pos += folder_reserve;
    folders.push_back(f);
  }
  // Uncompressed content of every folder.
  std::vector<Bytes> contents;
  for (const auto& f : folders) {
    Bytes content, window;
    const auto type = f.compression & 0x000F;
    if (type != kCompressNone && type != kCompressMszip) {
      *error = "cabinet compression " + std::to_string(type) + " is not supported";
      return false;
    }
    Reader d{cab, f.first_data};
    for (int i = 0; i < f.blocks && d.ok; ++i) {
      d.U(4);  // checksum
      const std::uint16_t packed = static_cast<std::uint16_t>(d.U(2));
      d.U(2);  // uncompressed size
      d.pos += data_reserve;
      if (!d.ok || d.pos + packed > cab.size()) {
        d.ok = false;
        break;
      }
      if (type == kCompressNone) {
        content.insert(content.end(), cab.begin() + static_cast<std::ptrdiff_t>(d.pos),
                       cab.begin() + static_cast<std::ptrdiff_t>(d.pos + packed));
      } else if (!InflateBlock(cab.data() + d.pos, packed, window, &content)) {
        *error = "damaged compressed data in the cabinet";
        return false;
      }
      d.pos += packed;
    }
    if (!d.ok) {
      *error = "the cabinet is cut short";
      return false;
    }
    contents.push_back(std::move(content));
  }
  r.pos = files_offset;
  for (int i = 0; i < file_count && r.ok; ++i) {
    const std::uint32_t size = r.U(4);
    const std::uint32_t offset = r.U(4);
    const std::uint16_t folder = static_cast<std::uint16_t>(r.U(2));
    r.U(4);  // date, time
    const std::uint16_t attributes = static_cast<std::uint16_t>(r.U(2));
    const std::string name = r.Z();
    if (!r.ok) break;
    if (folder >= contents.size() || static_cast<std::uint64_t>(offset) + size > contents[folder].size()) {
      *error = "a cabinet member lies outside its folder";
      return false;
    }
    CabinetFile f;
    if (attributes & kNameIsUtf8) {
      f.name = FromUtf8(name);
    } else {
      for (unsigned char c : name) f.name.push_back(c);
    }
    f.data.assign(contents[folder].begin() + offset, contents[folder].begin() + offset + size);
    files->push_back(std::move(f));
  }
  if (!r.ok) {
    *error = "the cabinet is cut short";
    return false;
  }
  return true;
}

}  // namespace kit::sim
