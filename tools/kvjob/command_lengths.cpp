// This file is OS-independent.
#include "tools/kvjob/command_lengths.h"

#include <algorithm>

namespace kit::tools {
namespace {

constexpr std::uint8_t kDle = 0x10, kEsc = 0x1B, kFs = 0x1C, kGs = 0x1D;

// How a command's length follows from its bytes.
enum class Rule {
  kFixed,         // `size` bytes
  kCounted,       // c ( fn pL pH and pL + 256 pH bytes
  kLongCounted,   // GS 8 fn p1 p2 p3 p4 and p1 + 256 p2 + 65536 p3 + 16777216 p4 bytes
  kNulEnded,      // up to `size` bytes after the code, then 00
  kBitImage,      // ESC * m nL nH, n columns of 1 (m 0, 1) or 3 bytes (m 32, 33)
  kDefineChars,   // ESC & y c1 c2, then per character x and y * x bytes
  kDefineLogos,   // FS q n, n logos of xL xH yL yH and x * y * 8 bytes
  kDownloadImage, // GS * x y and x * y * 8 bytes
  kRaster,        // GS v 0 m xL xH yL yH (and GS Q 0 ...) and x * y bytes
  kBarcode,       // GS k m: data up to 00 (m below 41h) or a length byte
  kCut,           // GS V m, with a feed byte for m 41h, 42h, 61h, 62h, 67h, 68h
  kStatus,        // DLE EOT n, with a second byte for n 7 and 8
};

struct Entry {
  std::uint8_t prefix, code;
  const char* name;
  Rule rule;
  std::size_t size = 0;
};

// The tab stops ESC D sets end with 00 after at most this many.
constexpr std::size_t kMaxTabStops = 32;
// FS 2 c1 c2 and a 24 x 24 dot character, column by column.
constexpr std::size_t kKanjiDefinition = 4 + 72;

constexpr Entry kCommands[] = {
    {kEsc, 0x0C, "ESC FF", Rule::kFixed, 2},   {kEsc, 0x20, "ESC SP", Rule::kFixed, 3},
    {kEsc, 0x21, "ESC !", Rule::kFixed, 3},    {kEsc, 0x24, "ESC $", Rule::kFixed, 4},
    {kEsc, 0x25, "ESC %", Rule::kFixed, 3},    {kEsc, 0x26, "ESC &", Rule::kDefineChars},
    {kEsc, 0x28, "ESC (", Rule::kCounted},     {kEsc, 0x2A, "ESC *", Rule::kBitImage},
    {kEsc, 0x2D, "ESC -", Rule::kFixed, 3},    {kEsc, 0x32, "ESC 2", Rule::kFixed, 2},
    {kEsc, 0x33, "ESC 3", Rule::kFixed, 3},    {kEsc, 0x3D, "ESC =", Rule::kFixed, 3},
    {kEsc, 0x3F, "ESC ?", Rule::kFixed, 3},    {kEsc, 0x40, "ESC @", Rule::kFixed, 2},
    {kEsc, 0x42, "ESC B", Rule::kFixed, 4},    {kEsc, 0x44, "ESC D", Rule::kNulEnded, kMaxTabStops},
    {kEsc, 0x45, "ESC E", Rule::kFixed, 3},    {kEsc, 0x47, "ESC G", Rule::kFixed, 3},
    {kEsc, 0x4A, "ESC J", Rule::kFixed, 3},    {kEsc, 0x4B, "ESC K", Rule::kFixed, 3},
    {kEsc, 0x4C, "ESC L", Rule::kFixed, 2},    {kEsc, 0x4D, "ESC M", Rule::kFixed, 3},
    {kEsc, 0x52, "ESC R", Rule::kFixed, 3},    {kEsc, 0x53, "ESC S", Rule::kFixed, 2},
    {kEsc, 0x54, "ESC T", Rule::kFixed, 3},    {kEsc, 0x55, "ESC U", Rule::kFixed, 3},
    {kEsc, 0x56, "ESC V", Rule::kFixed, 3},    {kEsc, 0x57, "ESC W", Rule::kFixed, 10},
    {kEsc, 0x5C, "ESC \\", Rule::kFixed, 4},   {kEsc, 0x61, "ESC a", Rule::kFixed, 3},
    {kEsc, 0x63, "ESC c", Rule::kFixed, 4},    {kEsc, 0x64, "ESC d", Rule::kFixed, 3},
    {kEsc, 0x65, "ESC e", Rule::kFixed, 3},    {kEsc, 0x69, "ESC i", Rule::kFixed, 2},
    {kEsc, 0x6D, "ESC m", Rule::kFixed, 2},    {kEsc, 0x70, "ESC p", Rule::kFixed, 5},
    {kEsc, 0x72, "ESC r", Rule::kFixed, 3},    {kEsc, 0x74, "ESC t", Rule::kFixed, 3},
    {kEsc, 0x75, "ESC u", Rule::kFixed, 3},    {kEsc, 0x76, "ESC v", Rule::kFixed, 2},
    {kEsc, 0x7B, "ESC {", Rule::kFixed, 3},
    {kFs, 0x21, "FS !", Rule::kFixed, 3},      {kFs, 0x26, "FS &", Rule::kFixed, 2},
    {kFs, 0x28, "FS (", Rule::kCounted},       {kFs, 0x2D, "FS -", Rule::kFixed, 3},
    {kFs, 0x2E, "FS .", Rule::kFixed, 2},      {kFs, 0x32, "FS 2", Rule::kFixed, kKanjiDefinition},
    {kFs, 0x43, "FS C", Rule::kFixed, 3},      {kFs, 0x53, "FS S", Rule::kFixed, 4},
    {kFs, 0x57, "FS W", Rule::kFixed, 3},      {kFs, 0x70, "FS p", Rule::kFixed, 4},
    {kFs, 0x71, "FS q", Rule::kDefineLogos},
    {kGs, 0x21, "GS !", Rule::kFixed, 3},      {kGs, 0x24, "GS $", Rule::kFixed, 4},
    {kGs, 0x28, "GS (", Rule::kCounted},       {kGs, 0x2A, "GS *", Rule::kDownloadImage},
    {kGs, 0x2F, "GS /", Rule::kFixed, 3},      {kGs, 0x38, "GS 8", Rule::kLongCounted},
    {kGs, 0x3A, "GS :", Rule::kFixed, 2},      {kGs, 0x42, "GS B", Rule::kFixed, 3},
    {kGs, 0x45, "GS E", Rule::kFixed, 3},      {kGs, 0x48, "GS H", Rule::kFixed, 3},
    {kGs, 0x49, "GS I", Rule::kFixed, 3},      {kGs, 0x4C, "GS L", Rule::kFixed, 4},
    {kGs, 0x50, "GS P", Rule::kFixed, 4},      {kGs, 0x51, "GS Q", Rule::kRaster},
    {kGs, 0x54, "GS T", Rule::kFixed, 3},      {kGs, 0x56, "GS V", Rule::kCut},
    {kGs, 0x57, "GS W", Rule::kFixed, 4},      {kGs, 0x5C, "GS \\", Rule::kFixed, 4},
    {kGs, 0x5E, "GS ^", Rule::kFixed, 5},      {kGs, 0x61, "GS a", Rule::kFixed, 3},
    {kGs, 0x62, "GS b", Rule::kFixed, 3},      {kGs, 0x63, "GS c", Rule::kFixed, 2},
    {kGs, 0x66, "GS f", Rule::kFixed, 3},      {kGs, 0x67, "GS g", Rule::kFixed, 6},
    {kGs, 0x68, "GS h", Rule::kFixed, 3},      {kGs, 0x6A, "GS j", Rule::kFixed, 3},
    {kGs, 0x6B, "GS k", Rule::kBarcode},       {kGs, 0x6F, "GS o", Rule::kFixed, 6},
    {kGs, 0x72, "GS r", Rule::kFixed, 3},      {kGs, 0x76, "GS v", Rule::kRaster},
    {kGs, 0x77, "GS w", Rule::kFixed, 3},      {kGs, 0x7A, "GS z", Rule::kFixed, 5},
    {kDle, 0x04, "DLE EOT", Rule::kStatus},    {kDle, 0x05, "DLE ENQ", Rule::kFixed, 3},
    {kDle, 0x14, "DLE DC4", Rule::kFixed, 5},
};

// The length of a command by its rule, as far as the job's bytes tell it;
// nothing when the bytes end before the length is known.
class Measure {
 public:
  Measure(std::span<const std::uint8_t> b, std::size_t pos) : b_(b.subspan(pos)) {}

  std::optional<std::size_t> Of(const Entry& e) const {
    switch (e.rule) {
      case Rule::kFixed: return e.size;
      case Rule::kCounted:
        if (!Has(5)) return std::nullopt;
        return 5 + Word(3);
      case Rule::kLongCounted:
        if (!Has(7)) return std::nullopt;
        return 7 + (Word(3) | (Word(5) << 16));
      case Rule::kNulEnded: {
        const auto end = std::min(b_.size(), 2 + e.size + 1);
        const auto nul = std::find(b_.begin() + 2, b_.begin() + static_cast<std::ptrdiff_t>(end), 0);
        if (nul != b_.begin() + static_cast<std::ptrdiff_t>(end)) return static_cast<std::size_t>(nul - b_.begin()) + 1;
        return end == b_.size() ? std::nullopt : std::optional<std::size_t>(2 + e.size);
      }
      case Rule::kBitImage:
        if (!Has(5)) return std::nullopt;
        return 5 + Word(3) * (b_[2] >= 32 ? 3 : 1);
      case Rule::kDefineChars: return DefineChars();
      case Rule::kDefineLogos: return DefineLogos();
      case Rule::kDownloadImage:
        if (!Has(4)) return std::nullopt;
        return 4 + std::size_t{b_[2]} * b_[3] * 8;
      case Rule::kRaster:
        if (!Has(8)) return std::nullopt;
        return 8 + Word(4) * Word(6);
      case Rule::kBarcode:
        if (!Has(4)) return std::nullopt;
        if (b_[2] >= 0x41) return 4 + std::size_t{b_[3]};
        if (const auto nul = std::find(b_.begin() + 3, b_.end(), 0); nul != b_.end()) {
          return static_cast<std::size_t>(nul - b_.begin()) + 1;
        }
        return std::nullopt;
      case Rule::kCut: {
        if (!Has(3)) return std::nullopt;
        constexpr std::uint8_t kWithFeed[] = {0x41, 0x42, 0x61, 0x62, 0x67, 0x68};
        return std::find(std::begin(kWithFeed), std::end(kWithFeed), b_[2]) != std::end(kWithFeed) ? 4 : 3;
      }
      case Rule::kStatus:
        if (!Has(3)) return std::nullopt;
        return b_[2] == 7 || b_[2] == 8 ? 4 : 3;
    }
    return std::nullopt;
  }

 private:
  bool Has(std::size_t n) const { return b_.size() >= n; }
  std::size_t Word(std::size_t at) const { return b_[at] | (std::size_t{b_[at + 1]} << 8); }

  std::optional<std::size_t> DefineChars() const {
    if (!Has(5)) return std::nullopt;
    const std::size_t y = b_[2];
    std::size_t at = 5;
    for (int c = b_[3]; c <= b_[4]; ++c) {
      if (!Has(at + 1)) return std::nullopt;
      at += 1 + y * b_[at];
    }
    return at;
  }
  std::optional<std::size_t> DefineLogos() const {
    if (!Has(3)) return std::nullopt;
    std::size_t at = 3;
    for (unsigned i = 0; i < b_[2]; ++i) {
      if (!Has(at + 4)) return std::nullopt;
      at += 4 + Word(at) * Word(at + 2) * 8;
    }
    return at;
  }

  std::span<const std::uint8_t> b_;
};

}  // namespace

std::optional<MeasuredCommand> MeasureCommand(std::span<const std::uint8_t> bytes, std::size_t pos) {
  if (bytes.size() - pos < 2) return std::nullopt;
  const auto* entry = std::find_if(std::begin(kCommands), std::end(kCommands), [&](const Entry& e) {
    return e.prefix == bytes[pos] && e.code == bytes[pos + 1];
  });
  if (entry == std::end(kCommands)) return std::nullopt;
  std::string name = entry->name;
  // The function byte of c ( fn and GS 8 fn names the command.
  if ((entry->rule == Rule::kCounted || entry->rule == Rule::kLongCounted) && bytes.size() - pos > 2 &&
      bytes[pos + 2] >= 0x21 && bytes[pos + 2] < 0x7F) {
    name += ' ';
    name += static_cast<char>(bytes[pos + 2]);
  }
  const std::size_t left = bytes.size() - pos;
  const std::optional<std::size_t> length = Measure(bytes, pos).Of(*entry);
  if (!length || *length > left) return MeasuredCommand{name, left, true};
  return MeasuredCommand{name, *length, false};
}

}  // namespace kit::tools
