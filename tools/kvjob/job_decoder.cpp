// This file is OS-independent.
#include "tools/kvjob/job_decoder.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <vector>

#include "print/commands/printer_commands.h"
#include "tools/kvjob/command_reader.h"

namespace kit::tools {
namespace {

namespace cmd = print::commands;

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
    for (std::size_t pos = 0; pos < b_.size();) {
      const Command command = ReadCommand(b_, pos);
      Describe(command);
      pos += command.bytes.size();
    }
    FlushUnknown();
    return out_;
  }

 private:
  void Line(const std::string& text) {
    FlushUnknown();
    out_ += text + "\n";
  }
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

  void Describe(const Command& c) {
    char buf[128];
    switch (c.kind) {
      case CommandKind::kBracketOpen: return Line("bracket open");
      case CommandKind::kBracketClose: return Line("bracket close");
      case CommandKind::kSelfTest: return Line("self-test");
      case CommandKind::kClearLogos: return Line("clear all logos");
      case CommandKind::kLineFeed: return Line("line feed (0A)");
      case CommandKind::kDataEnd: return Line("end of data (00)");
      case CommandKind::kDefineLogos: return Logos(c);
      case CommandKind::kHriFont:
        std::snprintf(buf, sizeof buf, "HRI font %u (%s)", c.n, c.n == 0 ? "Font A" : c.n == 1 ? "Font B" : "?");
        return Line(buf);
      case CommandKind::kHriPosition: {
        static const char* const kPositions[] = {"not printed", "above", "below", "above and below"};
        std::snprintf(buf, sizeof buf, "HRI position %u (%s)", c.n, c.n < 4 ? kPositions[c.n] : "?");
        return Line(buf);
      }
      case CommandKind::kBarWidth:
        std::snprintf(buf, sizeof buf, "element width %u", c.n);
        return Line(buf);
      case CommandKind::kBarHeight:
        std::snprintf(buf, sizeof buf, "element height %u", c.n);
        return Line(buf);
      case CommandKind::kQrParameters:
        std::snprintf(buf, sizeof buf, "QR parameters: element width %u, language mode %u, model %u", c.n, c.n2,
                      c.n3);
        return Line(buf);
      case CommandKind::kQrCode:
        std::snprintf(buf, sizeof buf, "QR code, error correction %c, %zu bytes: ", static_cast<char>(c.n2),
                      c.data.size());
        return Line(buf + Quoted(c.data));
      case CommandKind::kBarcode:
        std::snprintf(buf, sizeof buf, "barcode %s (0x%02X), %zu bytes: ", SymbologyName(c.n), c.n, c.data.size());
        return Line(buf + Quoted(c.data));
      case CommandKind::kPrintLogo:
        std::snprintf(buf, sizeof buf, "print logo %u, mode %u", c.n, c.n2);
        return Line(buf);
      case CommandKind::kInitialise: return Line("initialise");
      case CommandKind::kPrintMode: return Numbered("print mode 0x%02X", c.n);
      case CommandKind::kEmphasis: return Numbered("emphasis %u", c.n);
      case CommandKind::kUnderline: return Numbered("underline %u", c.n);
      case CommandKind::kFont: return Numbered("font %u", c.n);
      case CommandKind::kCharacterSize: return Numbered("character size 0x%02X", c.n);
      case CommandKind::kReverse: return Numbered("reverse %u", c.n);
      case CommandKind::kAlign: return Numbered("align %u", c.n);
      case CommandKind::kFeedLines: return Numbered("feed %u lines", c.n);
      case CommandKind::kFeedDots: return Numbered("feed %u dots", c.n);
      case CommandKind::kLineSpacing: return Numbered("line spacing %u dots", c.n);
      case CommandKind::kDefaultSpacing: return Line("default line spacing");
      case CommandKind::kCodePage: return Numbered("code page %u", c.n);
      case CommandKind::kPosition: return Numbered("position %u", static_cast<unsigned>(c.n | c.n2 << 8));
      case CommandKind::kCut:
        std::snprintf(buf, sizeof buf, "cut %s", IsPartialCut(c.n) ? "partial" : "full");
        return Line(buf);
      case CommandKind::kDrawerPulse:
        std::snprintf(buf, sizeof buf, "drawer pulse %u, on %u, off %u", c.n, c.n2, c.n3);
        return Line(buf);
      case CommandKind::kBuzzer:
        std::snprintf(buf, sizeof buf, "buzzer %u times, %u", c.n, c.n2);
        return Line(buf);
      case CommandKind::kSymbolFunction:
        std::snprintf(buf, sizeof buf, "2D symbol %u function %u, %zu bytes: ", c.n, c.n2, c.data.size());
        return Line(buf + Quoted(c.data));
      case CommandKind::kRasterImage:
        std::snprintf(buf, sizeof buf, "raster image %zu x %zu dots, mode %u", c.x * 8, c.y, c.n);
        return Line(buf);
      case CommandKind::kSkipped:
      case CommandKind::kCutShort: {
        std::string line = c.name + (c.kind == CommandKind::kCutShort ? " (cut short by the job's end):" : ":");
        for (std::size_t i = 0; i < std::min(c.bytes.size(), kHexPerLine); ++i) {
          std::snprintf(buf, sizeof buf, " %02X", c.bytes[i]);
          line += buf;
        }
        if (c.bytes.size() > kHexPerLine) line += " ... (" + std::to_string(c.bytes.size()) + " bytes)";
        return Line(line);
      }
      case CommandKind::kText:
      case CommandKind::kCarriageReturn:
      case CommandKind::kTab:
      case CommandKind::kUnknown:
        unknown_.insert(unknown_.end(), c.bytes.begin(), c.bytes.end());
        return;
    }
  }

  void Numbered(const char* format, unsigned value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, value);
    Line(buf);
  }

  // Each logo as its size and a text picture, '#' a printed dot.
  void Logos(const Command& c) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "define %u logos", c.n);
    Line(buf);
    for (std::size_t i = 0; i < c.logos.size(); ++i) {
      const LogoBlock& logo = c.logos[i];
      std::snprintf(buf, sizeof buf, "logo %zu: x %zu, y %zu (%zu x %zu dots)", i + 1, logo.x, logo.y, logo.x * 8,
                    logo.y * 8);
      Line(buf);
      for (std::size_t row = 0; row < logo.y * 8; ++row) {
        std::string line = "  ";
        for (std::size_t column = 0; column < logo.x * 8; ++column) {
          const std::uint8_t byte = logo.data[column * logo.y + row / 8];
          line.push_back(((byte >> (7 - row % 8)) & 1) != 0 ? '#' : '.');
        }
        Line(line);
      }
    }
    if (c.n2 != 0) Line("end of logos (0A)");
  }

  std::span<const std::uint8_t> b_;
  std::string out_;
  std::vector<std::uint8_t> unknown_;
};

}  // namespace

std::string DecodeJob(std::span<const std::uint8_t> bytes) { return Decoder(bytes).Run(); }

}  // namespace kit::tools
