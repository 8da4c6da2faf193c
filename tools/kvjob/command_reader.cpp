// This file is OS-independent.
#include "tools/kvjob/command_reader.h"

#include <algorithm>

#include "print/commands/printer_commands.h"
#include "print/rawjob/raw_job.h"
#include "tools/kvjob/command_lengths.h"

namespace kit::tools {
namespace {

namespace cmd = print::commands;

constexpr std::uint8_t kDle = 0x10, kEsc = 0x1B, kFs = 0x1C, kGs = 0x1D;
// QR data follows 1D 6B 0B c and these two bytes.
constexpr std::uint8_t kQrDataMark[] = {0x41, 0x2C};

bool IsText(std::uint8_t b) { return b >= 0x20 && b != 0x7F; }

class Reader {
 public:
  Reader(std::span<const std::uint8_t> b, std::size_t pos) : b_(b), pos_(pos) {}

  Command Read() {
    const std::uint8_t c = b_[pos_];
    if (c == cmd::kLineFeed) return Make(CommandKind::kLineFeed, 1);
    if (c == 0x0D) return Make(CommandKind::kCarriageReturn, 1);
    if (c == 0x09) return Make(CommandKind::kTab, 1);
    if (c == cmd::kDataEnd) return Make(CommandKind::kDataEnd, 1);
    if (IsText(c)) {
      std::size_t end = pos_;
      while (end < b_.size() && IsText(b_[end])) ++end;
      Command text = Make(CommandKind::kText, end - pos_);
      text.data = text.bytes;
      return text;
    }
    if (c != kEsc && c != kFs && c != kGs && c != kDle) return Make(CommandKind::kUnknown, 1);
    if (Left() < 2) return Make(CommandKind::kUnknown, 1);
    Command known = c == kEsc ? Escape() : c == kFs ? FileSeparator() : c == kGs ? GroupSeparator() : Command{};
    if (!known.bytes.empty()) return known;
    // Not drawn, or not whole: passed over by its length.
    if (auto measured = MeasureCommand(b_, pos_)) {
      Command skipped = Make(measured->cut_short ? CommandKind::kCutShort : CommandKind::kSkipped, measured->length);
      skipped.name = std::move(measured->name);
      return skipped;
    }
    return Make(CommandKind::kUnknown, 2);
  }

 private:
  std::size_t Left() const { return b_.size() - pos_; }
  std::uint8_t At(std::size_t i) const { return b_[pos_ + i]; }
  bool StartsWith(std::span<const std::uint8_t> what) const {
    return Left() >= what.size() &&
           std::equal(what.begin(), what.end(), b_.begin() + static_cast<std::ptrdiff_t>(pos_));
  }
  Command Make(CommandKind kind, std::size_t count) const {
    Command command;
    command.kind = kind;
    command.bytes = b_.subspan(pos_, count);
    return command;
  }
  // A command of `count` bytes whose parameters follow its two-byte code.
  Command WithParameters(CommandKind kind, std::size_t count) const {
    if (Left() < count) return {};
    Command command = Make(kind, count);
    if (count > 2) command.n = At(2);
    if (count > 3) command.n2 = At(3);
    if (count > 4) command.n3 = At(4);
    return command;
  }

  Command Escape() const {
    if (StartsWith(print::rawjob::kOpeningBracket)) return Make(CommandKind::kBracketOpen, 4);
    if (StartsWith(print::rawjob::kClosingBracket)) return Make(CommandKind::kBracketClose, 4);
    switch (At(1)) {
      case 0x40: return Make(CommandKind::kInitialise, 2);
      case 0x21: return WithParameters(CommandKind::kPrintMode, 3);
      case 0x45: case 0x47: return WithParameters(CommandKind::kEmphasis, 3);
      case 0x2D: return WithParameters(CommandKind::kUnderline, 3);
      case 0x4D: return WithParameters(CommandKind::kFont, 3);
      case 0x61: return WithParameters(CommandKind::kAlign, 3);
      case 0x64: return WithParameters(CommandKind::kFeedLines, 3);
      case 0x4A: return WithParameters(CommandKind::kFeedDots, 3);
      case 0x33: return WithParameters(CommandKind::kLineSpacing, 3);
      case 0x32: return Make(CommandKind::kDefaultSpacing, 2);
      case 0x74: return WithParameters(CommandKind::kCodePage, 3);
      case 0x24: return WithParameters(CommandKind::kPosition, 4);
      case 0x70: return WithParameters(CommandKind::kDrawerPulse, 5);
      case 0x42: return WithParameters(CommandKind::kBuzzer, 4);
      case 0x69: {  // full cut
        Command cut = Make(CommandKind::kCut, 2);
        cut.n = 0;
        return cut;
      }
      case 0x6D: {  // partial cut
        Command cut = Make(CommandKind::kCut, 2);
        cut.n = 1;
        return cut;
      }
      default: return {};
    }
  }

  Command FileSeparator() const {
    if (StartsWith(cmd::kClearLogosCommand)) return Make(CommandKind::kClearLogos, cmd::kClearLogosCommand.size());
    if (At(1) == 0x70) return WithParameters(CommandKind::kPrintLogo, 4);
    if (At(1) == 0x71 && Left() >= 3 && At(2) >= 1) return DefineLogos();
    return {};
  }

  // 1C 71 n, then n logos of xL xH yL yH and x * y * 8 bytes, then 0A.
  Command DefineLogos() const {
    Command command;
    std::size_t at = pos_ + 3;
    for (unsigned i = 0; i < At(2); ++i) {
      if (b_.size() - at < 4) return {};
      LogoBlock logo;
      logo.x = b_[at] | (b_[at + 1] << 8);
      logo.y = b_[at + 2] | (b_[at + 3] << 8);
      if ((b_.size() - at - 4) / 8 < logo.x * logo.y) return {};
      logo.data = b_.subspan(at + 4, logo.x * logo.y * 8);
      command.logos.push_back(logo);
      at += 4 + logo.x * logo.y * 8;
    }
    const bool closed = at < b_.size() && b_[at] == cmd::kLineFeed;
    command.kind = CommandKind::kDefineLogos;
    command.n = At(2);
    command.n2 = closed ? 1 : 0;
    command.bytes = b_.subspan(pos_, at - pos_ + (closed ? 1 : 0));
    return command;
  }

  Command GroupSeparator() const {
    if (StartsWith(cmd::kSelfTestCommand)) return Make(CommandKind::kSelfTest, cmd::kSelfTestCommand.size());
    switch (At(1)) {
      case 0x66: return WithParameters(CommandKind::kHriFont, 3);
      case 0x48: return WithParameters(CommandKind::kHriPosition, 3);
      case 0x77: return WithParameters(CommandKind::kBarWidth, 3);
      case 0x68: return WithParameters(CommandKind::kBarHeight, 3);
      case 0x21: return WithParameters(CommandKind::kCharacterSize, 3);
      case 0x42: return WithParameters(CommandKind::kReverse, 3);
      case 0x6F:
        if (Left() < 6 || At(2) != 0x00) return {};
        {
          Command command = Make(CommandKind::kQrParameters, 6);
          command.n = At(3);
          command.n2 = At(4);
          command.n3 = At(5);
          return command;
        }
      case 0x56: {
        if (Left() < 3) return {};
        const std::uint8_t m = At(2);
        // 41 and 42 (feed, then cut) carry a feed amount.
        if (m == 0x41 || m == 0x42) return WithParameters(CommandKind::kCut, 4);
        return WithParameters(CommandKind::kCut, 3);
      }
      case 0x6B: return Barcode();
      case 0x28: return Left() >= 3 && At(2) == 0x6B ? SymbolFunction() : Command{};
      case 0x76: return RasterImage();
      default: return {};
    }
  }

  // 1D 28 6B pL pH cn fn ...: pL + 256 pH bytes follow pH, at least cn and fn.
  Command SymbolFunction() const {
    if (Left() < 7) return {};
    const std::size_t count = At(3) | (At(4) << 8);
    if (count < 2 || Left() - 5 < count) return {};
    Command command = Make(CommandKind::kSymbolFunction, 5 + count);
    command.n = At(5);
    command.n2 = At(6);
    command.data = b_.subspan(pos_ + 7, count - 2);
    return command;
  }

  // 1D 76 30 m xL xH yL yH and x * y bytes.
  Command RasterImage() const {
    if (Left() < 8 || At(2) != 0x30) return {};
    const std::size_t x = At(4) | (At(5) << 8), y = At(6) | (At(7) << 8);
    if (x == 0 || y == 0 || (Left() - 8) / x < y) return {};
    Command command = Make(CommandKind::kRasterImage, 8 + x * y);
    command.n = At(3);
    command.x = x;
    command.y = y;
    command.data = b_.subspan(pos_ + 8, x * y);
    return command;
  }

  Command Barcode() const {
    if (Left() < 3) return {};
    const std::uint8_t m = At(2);
    if (m == kQrSymbology) {
      if (Left() < 6 || At(4) != kQrDataMark[0] || At(5) != kQrDataMark[1]) return {};
      const auto start = b_.begin() + static_cast<std::ptrdiff_t>(pos_ + 6);
      const auto end = std::find(start, b_.end(), cmd::kDataEnd);
      if (end == b_.end()) return {};
      const std::size_t length = static_cast<std::size_t>(end - start);
      Command command = Make(CommandKind::kQrCode, 6 + length + 1);
      command.n = m;
      command.n2 = At(3);
      command.data = b_.subspan(pos_ + 6, length);
      return command;
    }
    if (m >= kFirstLengthSymbology) {
      if (Left() < 4 || Left() - 4 < At(3)) return {};
      Command command = Make(CommandKind::kBarcode, 4 + At(3));
      command.n = m;
      command.data = b_.subspan(pos_ + 4, At(3));
      return command;
    }
    const auto start = b_.begin() + static_cast<std::ptrdiff_t>(pos_ + 3);
    const auto end = std::find(start, b_.end(), cmd::kDataEnd);
    if (end == b_.end()) return {};
    const std::size_t length = static_cast<std::size_t>(end - start);
    Command command = Make(CommandKind::kBarcode, 3 + length + 1);
    command.n = m;
    command.data = b_.subspan(pos_ + 3, length);
    return command;
  }

  std::span<const std::uint8_t> b_;
  std::size_t pos_;
};

}  // namespace

Command ReadCommand(std::span<const std::uint8_t> bytes, std::size_t pos) { return Reader(bytes, pos).Read(); }

}  // namespace kit::tools
