// This file is OS-independent.
#include "tools/kvjob/job_decoder.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <vector>

#include "plugin/pages/commands/printer_commands.h"
#include "plugin/pages/rawjob/raw_job.h"

namespace kit::tools {
namespace {

namespace cmd = plugin::commands;

constexpr std::uint8_t kSelfTest[] = {0x1D, 0x28, 0x41, 0x02, 0x00, 0x00, 0x02};
constexpr std::uint8_t kQrSymbology = 0x0B;
// Symbologies from this code on carry a length byte instead of a NUL end.
constexpr std::uint8_t kFirstLengthSymbology = 0x41;
constexpr std::size_t kHexPerLine = 16;

const char* SymbologyName(std::uint8_t code) {
  for (std::size_t i = 0; i < cmd::kBarcodeTypeCount; ++i) {
    const auto type = *cmd::BarcodeTypeAt(i);
    if (cmd::SymbologyCode(type) == code) {
      static const char* const kNames[] = {"UPC-A", "UPC-E", "EAN8", "EAN13", "Code39",
                                           "ITF",   "Codabar", "Code93", "Code128"};
      return kNames[i];
    }
  }
  return code == kQrSymbology ? "QR" : "unknown";
}

std::string Quoted(std::span<const std::uint8_t> data) {
  std::string out = "\"";
  char buf[8];
  for (std::uint8_t b : data) {
    if (b >= 0x20 && b < 0x7F && b != '"' && b != '\\') {
      out.push_back(static_cast<char>(b));
    } else {
      std::snprintf(buf, sizeof buf, "\\x%02X", b);
      out += buf;
    }
  }
  return out + "\"";
}

class Decoder {
 public:
  explicit Decoder(std::span<const std::uint8_t> bytes) : b_(bytes) {}

  std::string Run() {
    while (pos_ < b_.size()) {
      if (!Command()) Unknown(b_[pos_++]);
    }
    FlushUnknown();
    return out_;
  }

 private:
  std::size_t Left() const { return b_.size() - pos_; }
  bool StartsWith(std::span<const std::uint8_t> what) const {
    return Left() >= what.size() &&
           std::equal(what.begin(), what.end(), b_.begin() + static_cast<std::ptrdiff_t>(pos_));
  }
  void Line(const std::string& text) {
    FlushUnknown();
    out_ += text + "\n";
  }
  void Unknown(std::uint8_t byte) { unknown_.push_back(byte); }
  void FlushUnknown() {
    for (std::size_t i = 0; i < unknown_.size(); i += kHexPerLine) {
      std::string line = "bytes:";
      char buf[4];
      for (std::size_t j = i; j < std::min(unknown_.size(), i + kHexPerLine); ++j) {
        std::snprintf(buf, sizeof buf, " %02X", unknown_[j]);
        line += buf;
      }
      out_ += line + "\n";
    }
    unknown_.clear();
  }

  bool Command() {
    if (StartsWith(plugin::rawjob::kOpeningBracket)) return Take(4, "bracket open");
    if (StartsWith(plugin::rawjob::kClosingBracket)) return Take(4, "bracket close");
    if (StartsWith(kSelfTest)) return Take(sizeof kSelfTest, "self-test");
    if (StartsWith(cmd::kClearLogosCommand)) return Take(cmd::kClearLogosCommand.size(), "clear all logos");
    if (b_[pos_] == cmd::kLineFeed) return Take(1, "line feed (0A)");
    if (b_[pos_] == cmd::kDataEnd) return Take(1, "end of data (00)");
    if (Left() < 3) return false;
    const std::uint8_t c0 = b_[pos_], c1 = b_[pos_ + 1], n = b_[pos_ + 2];
    if (c0 == 0x1C && c1 == 0x71 && n >= 1) return Logos(n);
    if (c0 != 0x1D) return false;
    char buf[96];
    switch (c1) {
      case 0x66:
        std::snprintf(buf, sizeof buf, "HRI font %u (%s)", n, n == 0 ? "Font A" : n == 1 ? "Font B" : "?");
        return Take(3, buf);
      case 0x48: {
        static const char* const kPositions[] = {"not printed", "above", "below", "above and below"};
        std::snprintf(buf, sizeof buf, "HRI position %u (%s)", n, n < 4 ? kPositions[n] : "?");
        return Take(3, buf);
      }
      case 0x77:
        std::snprintf(buf, sizeof buf, "element width %u", n);
        return Take(3, buf);
      case 0x68:
        std::snprintf(buf, sizeof buf, "element height %u", n);
        return Take(3, buf);
      case 0x6F:
        if (n != 0x00 || Left() < 6) return false;
        std::snprintf(buf, sizeof buf, "QR parameters: element width %u, language mode %u, model %u", b_[pos_ + 3],
                      b_[pos_ + 4], b_[pos_ + 5]);
        return Take(6, buf);
      case 0x6B:
        return Barcode(n);
      default:
        return false;
    }
  }

  bool Take(std::size_t count, const std::string& text) {
    Line(text);
    pos_ += count;
    return true;
  }

  bool Barcode(std::uint8_t m) {
    char buf[96];
    if (m == kQrSymbology) {
      if (Left() < 6 || b_[pos_ + 4] != 0x41 || b_[pos_ + 5] != 0x2C) return false;
      const auto end = std::find(b_.begin() + static_cast<std::ptrdiff_t>(pos_ + 6), b_.end(), 0x00);
      if (end == b_.end()) return false;
      const auto data = b_.subspan(pos_ + 6, static_cast<std::size_t>(end - b_.begin()) - pos_ - 6);
      std::snprintf(buf, sizeof buf, "QR code, error correction %c, %zu bytes: ", static_cast<char>(b_[pos_ + 3]),
                    data.size());
      return Take(6 + data.size() + 1, buf + Quoted(data));
    }
    if (m >= kFirstLengthSymbology) {
      if (Left() < 4 || Left() - 4 < b_[pos_ + 3]) return false;
      const auto data = b_.subspan(pos_ + 4, b_[pos_ + 3]);
      std::snprintf(buf, sizeof buf, "barcode %s (0x%02X), %zu bytes: ", SymbologyName(m), m, data.size());
      return Take(4 + data.size(), buf + Quoted(data));
    }
    const auto end = std::find(b_.begin() + static_cast<std::ptrdiff_t>(pos_ + 3), b_.end(), 0x00);
    if (end == b_.end()) return false;
    const auto data = b_.subspan(pos_ + 3, static_cast<std::size_t>(end - b_.begin()) - pos_ - 3);
    std::snprintf(buf, sizeof buf, "barcode %s (0x%02X), %zu bytes: ", SymbologyName(m), m, data.size());
    return Take(3 + data.size() + 1, buf + Quoted(data));
  }

  // 1C 71 n, then n logos of xL xH yL yH and x * y * 8 bytes, then 0A.
  bool Logos(std::uint8_t count) {
    std::size_t at = pos_ + 3;
    for (unsigned i = 0; i < count; ++i) {
      if (b_.size() - at < 4) return false;
      const std::size_t x = b_[at] | (b_[at + 1] << 8), y = b_[at + 2] | (b_[at + 3] << 8);
      if ((b_.size() - at - 4) / 8 < x * y) return false;
      at += 4 + x * y * 8;
    }
    char buf[96];
    std::snprintf(buf, sizeof buf, "define %u logos", count);
    Line(buf);
    pos_ += 3;
    for (unsigned i = 0; i < count; ++i) {
      const std::size_t x = b_[pos_] | (b_[pos_ + 1] << 8), y = b_[pos_ + 2] | (b_[pos_ + 3] << 8);
      std::snprintf(buf, sizeof buf, "logo %u: x %zu, y %zu (%zu x %zu dots)", i + 1, x, y, x * 8, y * 8);
      Line(buf);
      const std::uint8_t* data = b_.data() + pos_ + 4;
      for (std::size_t row = 0; row < y * 8; ++row) {
        std::string line = "  ";
        for (std::size_t column = 0; column < x * 8; ++column) {
          const std::uint8_t byte = data[column * y + row / 8];
          line.push_back(((byte >> (7 - row % 8)) & 1) != 0 ? '#' : '.');
        }
        Line(line);
      }
      pos_ += 4 + x * y * 8;
    }
    if (Left() >= 1 && b_[pos_] == cmd::kLineFeed) Take(1, "end of logos (0A)");
    return true;
  }

  std::span<const std::uint8_t> b_;
  std::size_t pos_ = 0;
  std::string out_;
  std::vector<std::uint8_t> unknown_;
};

}  // namespace

std::string DecodeJob(std::span<const std::uint8_t> bytes) { return Decoder(bytes).Run(); }

}  // namespace kit::tools
